// The launcher's start-up sequence, from main's arguments to the Java thread.
#pragma once

#include "jvm/java_launch.h"

namespace plenwick {

// Everything main does after saving its arguments: sets up the console (only
// for a console application that asks for UTF-8), exports the known folders
// and HOME, then hands `launch` to launchJvm, on this thread or on a new one of
// the configured stack size. Returns main's exit code; a configuration that
// cannot start, or a thread that cannot be made, ends the process through
// fatalError.
int runLauncher(JavaLaunch& launch);

}  // namespace plenwick

// The launcher's start-up sequence, from main's arguments to the Java thread.
#pragma once

#include "config/launch_config.h"
#include "platform/platform.h"

namespace plenwick {

// Everything main does: saves the arguments in processArgc/processArgv, sets
// up the console (only for a console application that asks for UTF-8),
// exports the known folders and HOME, then runs `startJava` (launchJvm in the
// launcher) on this thread or on a new one of the configured stack size.
// Returns main's exit code; a configuration that cannot start, or a thread
// that cannot be made, ends the process through fatalError.
int runLauncher(Platform& platform, const LaunchConfig& config, int argc, char** argv,
                void (*startJava)());

}  // namespace plenwick

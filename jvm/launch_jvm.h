// Creates the JVM in-process, hands the main class to the bootstrap class and
// runs the application's entry point. Ends the process on every path.
#pragma once

#include "jvm/java_launch.h"

namespace plenwick {

[[noreturn]] void launchJvm(JavaLaunch& launch);

// The Java thread's routine: launchJvm on the process's platform, launchConfig
// and processArgc/processArgv.
[[noreturn]] void launchJvm();

}  // namespace plenwick

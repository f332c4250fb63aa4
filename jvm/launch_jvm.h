// Creates the JVM in-process, hands the main class to the bootstrap class and
// runs the application's entry point. Ends the process on every path.
#pragma once

#include "jvm/java_launch.h"

namespace plenwick {

// Runs on the Java thread, from what that thread was handed: it appends the
// command option to `launch.config`'s JVM options and creates the JVM from them.
[[noreturn]] void launchJvm(JavaLaunch& launch);

}  // namespace plenwick

// Creates the JVM in-process, hands the main class to the bootstrap class and
// runs the application's entry point. Ends the process on every path.
#pragma once

#include <jni.h>

#include "jvm/java_launch.h"

namespace plenwick {

[[noreturn]] void launchJvm(JavaLaunch& launch);

// The Java thread's routine: launchJvm on the process's platform, launchConfig
// and processArgc/processArgv.
[[noreturn]] void launchJvm();

// After a call into the runtime: a pending exception is described on the
// standard error stream and ends the process with exit code 1.
void exitOnJavaException(JNIEnv* env);

// Prints the report for an exception that escaped the entry point (and shows
// the box unless the application is a console one), then ends with exit code 1.
[[noreturn]] void reportUncaughtException(const JavaLaunch& launch, JNIEnv* env,
                                          jthrowable exception);

}  // namespace plenwick

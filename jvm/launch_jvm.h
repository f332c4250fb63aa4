// Creates the JVM in-process, hands the main class to the bootstrap class and
// runs the application's entry point. Ends the process on every path.
#pragma once

#include <jni.h>

namespace plenwick {

[[noreturn]] void launchJvm();

// After a call into the runtime: a pending exception is described on the
// standard error stream and ends the process with exit code 1.
void exitOnJavaException(JNIEnv* env);

// Prints the report for an exception that escaped the entry point, then exit(1).
[[noreturn]] void reportUncaughtException(JNIEnv* env, jthrowable exception);

}  // namespace plenwick

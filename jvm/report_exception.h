// What the launcher does with a Java exception: one raised by a call into the
// runtime during the hand-off, or one that escaped the application's entry point.
#pragma once

#include <jni.h>

#include "jvm/java_launch.h"

namespace plenwick {

// After a call into the runtime: a pending exception is described on the
// standard error stream and ends the process with exit code 1.
void exitOnJavaException(JNIEnv* env);

// Prints the report for an exception that escaped the entry point (and shows
// the box unless the application is a console one), then ends with exit code 1.
[[noreturn]] void reportUncaughtException(const JavaLaunch& launch, JNIEnv* env,
                                          jthrowable exception);

}  // namespace plenwick

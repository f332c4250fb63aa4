// Turns the configured JVM options into the JNI option array.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace plenwick {

// Replaces every "&&" by `appDir`, left to right, without overlaps.
void substituteAppDirToken(std::string& option, const std::string& appDir);

// Rewrites every string of `options` in place and points `args.options` into
// them; the array lives until the process ends. With PLENWICK_DUMP_JVM_ARGS
// set, lists the final options on the standard error stream.
void buildJvmOptions(Platform& platform, std::vector<std::string>& options, JavaVMInitArgs& args);

}  // namespace plenwick

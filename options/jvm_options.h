// Turns the configured JVM options into the JNI option array.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

#include "options/home_tilde.h"
#include "platform/conventions.h"
#include "platform/directory_search.h"
#include "platform/platform.h"

namespace plenwick {

// Replaces every "&&" by `appDir`, left to right, without overlaps. The search
// resumes after each inserted `appDir`, so a token inside it is kept as text.
void substituteAppDirToken(std::string& option, const std::string& appDir);

// Everything that rewriting one option depends on.
struct OptionRewriting {
  const PathConventions& conventions;
  std::string appDir;
  EnvironmentLookup getEnvironment;
  DirectorySearch& search;
};

// The three steps, in this order: "&&", then "~/", then class-path wildcards.
void prepareJvmOption(std::string& option, const OptionRewriting& rewriting);

// Rewrites every string of `options` in place and returns the JVM's creation
// arguments with `options` pointing into them (`nOptions` and `options` set; the
// version and ignoreUnrecognized are the caller's); the array lives until the
// process ends. With PLENWICK_DUMP_JVM_ARGS set, lists the final options on the
// standard error stream.
JavaVMInitArgs buildJvmOptions(Platform& platform, std::vector<std::string>& options);

}  // namespace plenwick

// Home-relative paths in JVM options: "~/" becomes the user's profile directory.
#pragma once

#include <functional>
#include <string>

#include "platform/conventions.h"

namespace plenwick {

// The value of an environment variable, or null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// Rewrites "~/" after "=", after the list separator and at the very start of
// `option` into the value of the profile variable followed by the path
// separator. The two inner forms need a non-empty profile; the leading form
// only a defined one. Inserted text is never expanded by the pass that
// inserted it. The profile is looked up anew at every match.
void expandHomeTilde(std::string& option, const PathConventions& conventions,
                     const EnvironmentLookup& getEnvironment);

}  // namespace plenwick

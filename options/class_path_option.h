// The one rule for recognising a class-path option, shared by the launcher's
// wildcard expansion, the packer's check and the option fuzzer.
#pragma once

#include <cstddef>
#include <string_view>

namespace plenwick {

// Where the class path in one JVM option starts, or npos when the option does
// not set the class path. It sets it when it begins with "-Djava.class.path",
// "-cp", "-classpath" or "--class-path" and that name ends the option or is
// followed by "=" (the flags also by one blank, "-cp x.jar" given as one
// option): the value starts after that character, or at the end of a bare
// name. Anything else is no class-path option, "-Dx=-cp a" included: that is a
// system property whose value only holds the text of a flag.
std::size_t classPathValueStart(std::string_view option);

// Whether `option` sets the class path: the packer refuses such an option in
// the configuration, and the launcher rewrites its value.
inline bool setsClassPath(std::string_view option) {
  return classPathValueStart(option) != std::string_view::npos;
}

}  // namespace plenwick

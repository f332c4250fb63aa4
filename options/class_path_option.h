// The one rule for recognising the class path in JVM option text, shared by the
// wildcard expansion, the packer's check and the option fuzzer.
#pragma once

#include <cstddef>
#include <string_view>

namespace plenwick {

// Whether one JVM option sets the class path: "-Djava.class.path=...", or
// "-cp", "-classpath" or "--class-path" alone or with its value joined by "="
// or a blank (so "-cp x.jar" given as one option counts).
bool setsClassPath(std::string_view option);

// Where the class-path value in `text` starts: after the first of
// "-Djava.class.path=", "-cp " and "-classpath " that occurs anywhere in it
// (checked in that order, so an option's own class path wins over one inside
// e.g. the command property). npos when there is none.
std::size_t classPathValueStart(std::string_view text);

}  // namespace plenwick

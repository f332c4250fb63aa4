// The one rule for recognising the class path in JVM option text, shared by the
// launcher's wildcard expansion, the packer's check and the option fuzzer.
#pragma once

#include <cstddef>
#include <string_view>

namespace plenwick {

// Where the class-path value in `option` starts, as the launcher reads it:
// after the first of "-Djava.class.path=", "-cp " and "-classpath " that
// occurs anywhere in it (tried in that order, so an option's own class path
// wins over one further on, e.g. in the command property). npos when there is
// none.
std::size_t classPathValueStart(std::string_view option);

// Whether the packer refuses `option` in its JVM options because it would set
// the class path, which the packer writes itself: every option the launcher
// reads a class path in (above, "-Dx=-cp a/*" included), and the forms of the
// java command that a JVM created through JNI does not take ("-cp",
// "-classpath" and "--class-path" alone or with "=" or a blank, a bare
// "-Djava.class.path").
bool setsClassPath(std::string_view option);

}  // namespace plenwick

// Wildcard class-path entries ("dir/*.jar", "dir/*") become the files they match.
#pragma once

#include <string>

#include "platform/conventions.h"
#include "platform/directory_search.h"

namespace plenwick {

// Finds the class path in `option` (see classPathValueStart) and rebuilds it entry by
// entry: a wildcard entry becomes its matching files, each written as the
// entry's directory part followed by the name; a wildcard without files stays
// as written. Options without a class-path prefix are left untouched.
//
// The directory part ends at the entry's last "/" or last `conventions.separator`
// (so at "/" or "\" on Windows, but only at "/" on POSIX, where a backslash is an
// ordinary file-name character); "./" when there is neither.
void expandClassPathWildcards(std::string& option, const PathConventions& conventions,
                              DirectorySearch& search);

}  // namespace plenwick

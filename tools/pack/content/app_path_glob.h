// Paths inside app/ as users write them in the class-path keys: normalised,
// checked to stay inside app/, and matched as the globs of glob.h.
#pragma once

#include <string>

namespace plenwick {

// `path` normalised ('/'-separated, no "." or trailing '/'); empty when it is
// absolute, empty or leads out of app/ ("..").
std::string pathInApp(const std::string& path);

// Whether `pattern` holds a wildcard ('*' or '?').
bool isGlob(const std::string& pattern);

// Whether `pattern` matches `path` or one of the folders it lies in: "plugins"
// and "plug*" cover plugins/a/b.jar.
bool globCovers(const std::string& pattern, const std::string& path);

}  // namespace plenwick

// Paths inside app/ as users write them in the class-path keys: normalised,
// checked to stay inside app/, and matched with '*' and '?' wildcards.
#pragma once

#include <string>

namespace plenwick {

// `path` normalised ('/'-separated, no "." or trailing '/'); empty when it is
// absolute, empty or leads out of app/ ("..").
std::string pathInApp(const std::string& path);

// Whether `pattern` holds a wildcard ('*' or '?').
bool isGlob(const std::string& pattern);

// Whether `path` matches `pattern` component by component: '*' stands for any
// run of characters and '?' for one, never for a '/', so "lib/*.jar" matches
// lib/a.jar but not lib/x/a.jar. Both are normalised paths in app/.
bool globMatches(const std::string& pattern, const std::string& path);

// Whether `pattern` matches `path` or one of the folders it lies in: "plugins"
// and "plug*" cover plugins/a/b.jar.
bool globCovers(const std::string& pattern, const std::string& path);

}  // namespace plenwick

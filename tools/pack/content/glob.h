// Globs that name paths inside app/, for `exclude`: '/'-separated parts, where
// `*` stands for any run of characters and `?` for one character, neither
// crossing a '/', and a part that is exactly `**` stands for any number of
// parts, none included. Every other character stands for itself.
#pragma once

#include <string>

namespace plenwick {

// True when `glob` names all of `path` (both '/'-separated, relative).
bool globMatches(const std::string& glob, const std::string& path);

}  // namespace plenwick

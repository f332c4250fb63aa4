// The rules for names that become file names in an image: what Windows cannot
// hold, what would break the class path, and when two names are one file.
#pragma once

#include <string>

namespace plenwick {

// Empty when `name`, one path component, can be a file name on Windows;
// otherwise why not, said of the name ("holds ':', which Windows cannot hold
// in a file name"). Refused: <>:"/\|?* and control characters, a final dot or
// space, and the device names (CON, NUL, COM1 and the like, with any extension).
std::string windowsNameProblem(const std::string& name);

// Empty when `name` can stand in the class path after the "&&" token, joined
// with the target's list separator, and be read as itself, not as a wildcard;
// otherwise why not, said of the name.
std::string classPathNameProblem(const std::string& name, bool windows);

// Empty when `path` can name a place inside app/: relative, '/'-separated,
// with no empty, "." or ".." part and, for Windows targets, each part a name
// Windows can hold; otherwise why not, said of the path.
std::string appPathProblem(const std::string& path, bool windows);

// The key under which two names are the same file: Windows does not tell
// case apart.
std::string fileNameKey(const std::string& name, bool windows);

}  // namespace plenwick

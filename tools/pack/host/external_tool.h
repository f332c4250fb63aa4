// The Debian tools a release needs (wixl, osslsigncode, openssl): found on
// the PATH, or named with the package that provides them.
#pragma once

#include <string>

namespace plenwick {

// The path of `program` on the PATH; false with "wixl is not installed ...
// (Debian package wixl)" when it is not there.
bool findTool(const std::string& program, const std::string& package, std::string* path,
              std::string* err);

// The last non-empty lines of a tool's output, for a message.
std::string outputTail(const std::string& output, int lines = 3);

}  // namespace plenwick

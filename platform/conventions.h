// The path and list conventions of a platform. The portable core takes them as
// parameters, so the rules of both platforms are tested on either.
#pragma once

namespace plenwick {

struct PathConventions {
  char separator;               // between path components
  char listSeparator;           // between the entries of a class path
  const char* profileVariable;  // the environment variable holding the user's home
  const char* lineEnd;          // what ends a line on the standard error stream
};

constexpr PathConventions kWindowsConventions{'\\', ';', "USERPROFILE", "\r\n"};
constexpr PathConventions kPosixConventions{'/', ':', "HOME", "\n"};

// The conventions of the platform an image is made for: the packer writes a
// Windows image's class path on Linux.
constexpr const PathConventions& targetConventions(bool windows) {
  return windows ? kWindowsConventions : kPosixConventions;
}

}  // namespace plenwick

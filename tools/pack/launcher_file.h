// Reading a launcher executable and writing a packed copy of it safely.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick {

struct LauncherImage {
  std::vector<unsigned char> bytes;
  std::size_t regionOffset = 0;
};

// Reads `path` and finds its configuration region. On failure returns false
// with a message for a person in `error`.
bool readLauncher(const std::string& path, LauncherImage& image, std::string& error);

// Writes `bytes` to `path` through a temporary file beside it, renamed into
// place only when complete, so a failure never leaves a partial output.
bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         bool executable, std::string& error);

}  // namespace plenwick

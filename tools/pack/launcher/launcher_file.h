// Reading a launcher executable and finding its configuration region.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick {

struct LauncherFile {
  std::vector<unsigned char> bytes;
  std::size_t regionOffset = 0;
};

// A launcher is a few megabytes; more than this is not one.
constexpr std::size_t kMaxLauncherFile = std::size_t{1} << 30;

// Reads `path` and finds its configuration region. On failure returns false
// with a message for a person in `error`.
bool readLauncher(const std::string& path, LauncherFile& launcher, std::string* err);

// True while the region still holds the filler it was built with.
bool stillUnpacked(const LauncherFile& launcher);

}  // namespace plenwick

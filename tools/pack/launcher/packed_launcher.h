// Copying the launcher into an image and writing the launch settings into it.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"
#include "tools/pack/windows/manifest.h"

namespace plenwick {

// The unpacked launcher an image's is made from, and what a Windows one is given.
struct LauncherSource {
  std::string file;    // the unpacked launcher
  std::string target;  // linux-x64, windows-x64 or windows-arm64
  bool windows = false;
  ManifestIdentity identity;       // Windows: the manifest's name, version and description
  std::vector<std::string> icons;  // Windows: one large PNG or five
};

// Copies c.file to `path`: for Windows targets with the identity and
// icons, then the block of `launch`. The file is written through a temporary
// one, and never in part; its folder is made when missing.
bool writePackedLauncher(const LauncherSource& c, const LaunchConfig& launch,
                         const std::string& path, std::string* err);

}  // namespace plenwick

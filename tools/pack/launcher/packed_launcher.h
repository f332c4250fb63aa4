// Copying the launcher into an image and writing the launch settings into it.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"
#include "tools/pack/app/app_config.h"

namespace plenwick {

// The launch settings of the image: the class path of the jars in app/
// written with the "&&" token, the configured options with the folders of
// native libraries on java.library.path, then `extraOptions`.
LaunchConfig imageLaunchConfig(const AppConfig& config,
                               const std::vector<std::string>& extraOptions);

// ROOT/bin/<name> (".exe" for Windows targets).
std::string launcherPath(const AppConfig& config, const std::string& root);

// Copies config.launcher to launcherPath(config, root): for Windows targets
// with the identity and icons, then the block. The file is written through a
// temporary one, and never in part.
bool writePackedLauncher(const AppConfig& config, const LaunchConfig& launch,
                         const std::string& root, std::string* err);

}  // namespace plenwick

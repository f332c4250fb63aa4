// A .deb or .rpm from a Linux image: the image under /opt/<name>, a command
// in /usr/bin, a menu entry and icons, built from a staged tree.
#pragma once

#include <string>

#include "config/launch_config.h"
#include "tools/pack/app/app_settings.h"
#include "tools/pack/host/reporter.h"
#include "tools/pack/linux/linux_package.h"

namespace plenwick {

// The launcher's file name in an existing image's bin/ and the settings
// packed into it.
bool readImageLauncher(const std::string& image, std::string* command, LaunchConfig* launch,
                       std::string* err);

// The package's description from the settings and what the launcher runs.
bool describeImagePackage(const AppSettings& settings, const std::string& command,
                          const LaunchConfig& launch, LinuxPackage* p, std::string* err);

// Builds the package from `image` in folders inside the private folder
// `work`; *file receives its path there. The caller puts it in place.
bool buildLinuxInstaller(const LinuxPackage& p, const std::string& image,
                         const std::vector<std::string>& icons, bool rpm, const std::string& work,
                         Reporter& reporter, std::string* file, std::string* err);

}  // namespace plenwick

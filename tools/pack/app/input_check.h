// Checks of the target, the runtime and the files an image is made from.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_config.h"

namespace plenwick {

// The target and the runtime ('jdk' or 'runtime', and 'modules'); sets
// config.windows and defaults the JDK.
bool checkRuntime(AppConfig& config, std::string* err);

// Everything an image is made from: an output may neither hold nor lie in any of it.
std::vector<std::string> imageInputs(const AppConfig& config);

// The icons, the launcher, plenwick-bootstrap.jar and the output, with their defaults.
bool checkFiles(AppConfig& config, std::string* err);

}  // namespace plenwick

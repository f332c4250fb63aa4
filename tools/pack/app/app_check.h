// Checks an application description as a whole, after the file and the options.
#pragma once

#include <string>

#include "tools/pack/app/app_config.h"

namespace plenwick {

// Fills in defaults and checks the values against each other and the file
// system. Returns false with a message naming the key.
bool validateAppConfig(AppConfig& config, std::string* err);

}  // namespace plenwick

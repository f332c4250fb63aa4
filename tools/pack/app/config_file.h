// Reading an application description from its JSON file.
#pragma once

#include <string>

#include "tools/pack/app/app_config.h"

namespace plenwick {

// Reads `path` into `config`. Relative paths in the file are taken relative
// to the file's directory. Returns false with a message naming the file and key.
bool loadAppConfigFile(const std::string& path, AppConfig& config, std::string* err);

}  // namespace plenwick

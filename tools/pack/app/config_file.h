// Reading an application description from its JSON file.
#pragma once

#include <string>

#include "tools/pack/app/app_settings.h"

namespace plenwick {

// Reads `path` into `config`. Relative paths in the file are taken relative
// to the file's directory. Returns false with a message naming the file and key.
// Only a regular file of at most 4 MiB is read; a key given twice in one
// object and a NUL in any text are refused.
bool loadAppConfigFile(const std::string& path, AppSettings& config, std::string* err);

// The same from the file's text; `path` names it in messages and its folder
// is where relative paths start.
bool parseAppConfig(const std::string& path, const std::string& text, AppSettings& config,
                    std::string* err);

}  // namespace plenwick

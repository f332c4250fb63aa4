// The table of configuration keys and their command-line options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/pack/app/app_config.h"

namespace plenwick {

enum class FieldKind { kString, kPath, kStringList, kPathList, kBool, kSize };

struct AppField {
  const char* key;     // in the JSON file
  const char* option;  // on the command line, without "--"
  FieldKind kind;
  std::string AppConfig::*text;
  std::vector<std::string> AppConfig::*list;
  std::optional<bool> AppConfig::*flag;
};

const std::vector<AppField>& appFields();
const AppField* findFieldByKey(const std::string& key);
const AppField* findFieldByOption(const std::string& option);

}  // namespace plenwick

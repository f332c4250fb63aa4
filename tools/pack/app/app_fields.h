// The table of configuration keys and their command-line options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/pack/app/app_settings.h"

namespace plenwick {

// kContentList: 'appContent', paths or { "from": PATH, "to": PATH-IN-APP }.
enum class FieldKind { kString, kPath, kStringList, kPathList, kBool, kSize, kContentList };

struct AppField {
  const char* key;     // in the JSON file
  const char* option;  // on the command line, without "--"
  FieldKind kind;
  std::string AppSettings::*text;
  std::vector<std::string> AppSettings::*list;
  std::optional<bool> AppSettings::*flag;
  std::vector<ContentItem> AppSettings::*content;
  int launchFlag;  // a behaviour flag's index in kLaunchFlags and AppSettings::launchFlags, or -1
};

// Where a kBool field's value is kept.
std::optional<bool>& flagIn(AppSettings& config, const AppField& field);

const std::vector<AppField>& appFields();
const AppField* findFieldByKey(const std::string& key);
const AppField* findFieldByOption(const std::string& option);

// A NUL would cut a path or name short where the system reads it, so that
// "out\0/../../x" names "out" to one check and something else to another: no
// value from the configuration file or the options may hold one. `where`
// names the value ("app.json: key 'output'", "option --output").
bool checkNoNul(const std::string& value, const std::string& where, std::string* err);

}  // namespace plenwick

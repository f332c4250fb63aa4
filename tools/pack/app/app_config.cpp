#include "tools/pack/app/app_config.h"

#include "tools/pack/app/app_fields.h"

namespace plenwick {

std::string AppConfig::where(const std::string& key) const {
  auto found = origin.find(key);
  if (found != origin.end()) return found->second;
  const AppField* field = findFieldByKey(key);
  const std::string option =
      field != nullptr ? std::string(" (option --") + field->option + ")" : "";
  return (file.empty() ? "" : file + ": ") + "key '" + key + "'" + option;
}

}  // namespace plenwick

#include "tools/pack/app/app_settings.h"

#include "tools/pack/app/app_fields.h"

namespace plenwick {

std::string AppSettings::where(const std::string& key) const {
  auto found = origin.find(key);
  if (found != origin.end()) return found->second;
  const AppField* field = findFieldByKey(key);
  const std::string option =
      field != nullptr ? std::string(" (option --") + field->option + ")" : "";
  return (file.empty() ? "" : file + ": ") + "key '" + key + "'" + option;
}

std::vector<std::string> namedInputs(const AppSettings& s) {
  std::vector<std::string> inputs = {s.runtime,          s.jdk,      s.launcher,
                                     s.bootstrapJar,     s.file,     s.appFolder,
                                     s.sign.certificate, s.sign.key, s.sign.passwordFile};
  for (const auto* list : {&s.jars, &s.icons, &s.appContent}) {
    inputs.insert(inputs.end(), list->begin(), list->end());
  }
  for (const FileAssociation& type : s.fileAssociations) inputs.push_back(type.icon);
  return inputs;
}

}  // namespace plenwick

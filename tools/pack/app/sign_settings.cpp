#include "tools/pack/app/sign_settings.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace plenwick {

namespace fs = std::filesystem;

bool parseSignSection(const nlohmann::json& section, const std::string& base,
                      const std::string& where, SignSettings* settings, std::string* err) {
  if (!section.is_object()) {
    *err = where + " must be an object { ... }";
    return false;
  }
  struct Key {
    const char* name;
    std::string SignSettings::*field;
    bool path;
  };
  static const Key kKeys[] = {{"certificate", &SignSettings::certificate, true},
                              {"key", &SignSettings::key, true},
                              {"passwordEnv", &SignSettings::passwordEnv, false},
                              {"passwordFile", &SignSettings::passwordFile, true},
                              {"timestampUrl", &SignSettings::timestampUrl, false}};
  for (const auto& item : section.items()) {
    const Key* key = nullptr;
    for (const Key& k : kKeys) {
      if (item.key() == k.name) key = &k;
    }
    if (key == nullptr) {
      *err = where + ": unknown key '" + item.key() + "'";
      return false;
    }
    if (!item.value().is_string()) {
      *err = where + ": key '" + item.key() + "' must be a text";
      return false;
    }
    std::string value = item.value().get<std::string>();
    if (key->path && !value.empty() && fs::path(value).is_relative()) {
      value = (fs::path(base) / value).lexically_normal().string();
    }
    settings->*key->field = value;
  }
  if (settings->certificate.empty()) {
    *err = where + ": key 'certificate' is required";
    return false;
  }
  if (!settings->passwordEnv.empty() && !settings->passwordFile.empty()) {
    *err = where + ": give 'passwordEnv' or 'passwordFile', not both";
    return false;
  }
  return true;
}

}  // namespace plenwick

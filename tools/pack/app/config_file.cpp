#include "tools/pack/app/config_file.h"

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "tools/pack/app/app_fields.h"
#include "tools/pack/files/read_file.h"
#include "tools/pack/text/printable.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A configuration is a few kilobytes of JSON.
constexpr std::size_t kMaxConfigFile = 4 * kMiB;

std::string keyOrigin(const std::string& file, const std::string& key) {
  return file + ": key '" + key + "'";
}

std::string resolvePath(const fs::path& base, const std::string& value) {
  if (value.empty() || fs::path(value).is_absolute()) return value;
  return (base / value).lexically_normal().string();
}

// Checks the JSON type of one value; sets `error` to what it should have been.
bool setFromJson(const AppField& field, const json& value, const fs::path& base,
                 AppSettings& config, std::string* err) {
  switch (field.kind) {
    case FieldKind::kBool:
      if (!value.is_boolean()) {
        *err = "must be true or false";
        return false;
      }
      flagIn(config, field) = value.get<bool>();
      return true;
    case FieldKind::kSize:
      if (value.is_number_unsigned()) {
        config.*field.text = std::to_string(value.get<unsigned long long>());
        return true;
      }
      if (!value.is_string()) {
        *err = "must be a number of bytes or a text like \"2M\"";
        return false;
      }
      config.*field.text = value.get<std::string>();
      return true;
    case FieldKind::kString:
    case FieldKind::kPath:
      if (!value.is_string()) {
        *err = "must be a text";
        return false;
      }
      config.*field.text = value.get<std::string>();
      if (field.kind == FieldKind::kPath)
        config.*field.text = resolvePath(base, config.*field.text);
      return true;
    case FieldKind::kStringList:
    case FieldKind::kPathList:
      break;
  }
  if (!value.is_array()) {
    *err = "must be a list of texts";
    return false;
  }
  std::vector<std::string>& list = config.*field.list;
  list.clear();
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (!value[i].is_string()) {
      *err = "entry " + std::to_string(i + 1) + " must be a text";
      return false;
    }
    const std::string item = value[i].get<std::string>();
    list.push_back(field.kind == FieldKind::kPathList ? resolvePath(base, item) : item);
  }
  return true;
}

// What json::parse lets through: a key given twice in one object (the last
// would win unseen) and NUL characters. The first problem, naming the key.
class ValueCheck {
 public:
  explicit ValueCheck(const std::string& file) : file_(file) {}

  bool operator()(int /*depth*/, json::parse_event_t event, const json& parsed) {
    if (event == json::parse_event_t::object_start) {
      objects_.emplace_back();
    } else if (event == json::parse_event_t::object_end && !objects_.empty()) {
      objects_.pop_back();
    } else if (event == json::parse_event_t::key && !objects_.empty()) {
      Object& object = objects_.back();
      object.key = parsed.get<std::string>();
      check(object.key);
      if (!object.keys.insert(object.key).second && problem_.empty()) {
        problem_ = keyOrigin(file_, keyPath()) + " is given twice: keep one";
      }
    } else if (event == json::parse_event_t::value && parsed.is_string()) {
      check(parsed.get_ref<const std::string&>());
    }
    return true;
  }

  const std::string& problem() const { return problem_; }

 private:
  struct Object {
    std::set<std::string> keys;
    std::string key;  // the latest
  };

  // "sign.certificate" for a key inside the "sign" object; shown escaped, as
  // a key may hold any character.
  std::string keyPath() const {
    std::string path;
    for (const Object& object : objects_) path += (path.empty() ? "" : ".") + object.key;
    return printable(path);
  }

  void check(const std::string& text) {
    if (problem_.empty()) checkNoNul(text, keyOrigin(file_, keyPath()), &problem_);
  }

  const std::string& file_;
  std::vector<Object> objects_;
  std::string problem_;
};

bool parseJson(const std::string& path, const std::string& text, json& document, std::string* err) {
  ValueCheck check(path);
  try {
    document = json::parse(text, std::ref(check));
  } catch (const json::exception& e) {
    // A syntax error, or a number too large to read (out_of_range).
    const std::string what = e.what();
    const std::size_t cut = what.find("] ");
    *err = path + ": not valid JSON: " + what.substr(cut == std::string::npos ? 0 : cut + 2);
    return false;
  }
  if (!check.problem().empty()) {
    *err = check.problem();
    return false;
  }
  if (!document.is_object()) {
    *err = path + ": must hold one JSON object { ... }";
    return false;
  }
  return true;
}

}  // namespace

bool loadAppConfigFile(const std::string& path, AppSettings& config, std::string* err) {
  std::string text;
  return readFile(path, kMaxConfigFile, &text, err) && parseAppConfig(path, text, config, err);
}

bool parseAppConfig(const std::string& path, const std::string& text, AppSettings& config,
                    std::string* err) {
  json document;
  if (!parseJson(path, text, document, err)) return false;
  const fs::path base = fs::absolute(path).parent_path();
  config.file = path;
  for (const auto& item : document.items()) {
    if (item.key() == "sign") {
      if (!parseSignSection(item.value(), base.string(), keyOrigin(path, "sign"), &config.sign,
                            err)) {
        return false;
      }
      continue;
    }
    if (item.key() == "fileAssociations") {
      if (!parseFileAssociations(item.value(), base.string(), keyOrigin(path, item.key()),
                                 &config.fileAssociations, err)) {
        return false;
      }
      config.origin[item.key()] = keyOrigin(path, item.key());
      continue;
    }
    const AppField* field = findFieldByKey(item.key());
    if (field == nullptr) {
      *err = path + ": unknown key '" + printable(item.key()) + "'";
      return false;
    }
    std::string problem;
    if (!setFromJson(*field, item.value(), base, config, &problem)) {
      *err = keyOrigin(path, item.key()) + " " + problem;
      return false;
    }
    config.origin[item.key()] = keyOrigin(path, item.key());
  }
  return true;
}

}  // namespace plenwick

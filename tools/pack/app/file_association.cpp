#include "tools/pack/app/file_association.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <nlohmann/json.hpp>

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool asciiAlnum(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool parseEntry(const nlohmann::json& entry, const std::string& base, const std::string& where,
                FileAssociation* out, std::string* err) {
  struct Key {
    const char* name;
    std::string FileAssociation::*field;
  };
  static const Key kKeys[] = {{"extension", &FileAssociation::extension},
                              {"mimeType", &FileAssociation::mimeType},
                              {"description", &FileAssociation::description},
                              {"icon", &FileAssociation::icon}};
  if (!entry.is_object()) {
    *err = where + " must be an object { \"extension\": ..., \"mimeType\": ..., ... }";
    return false;
  }
  for (const auto& item : entry.items()) {
    const auto key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                  [&](const Key& k) { return item.key() == k.name; });
    if (key == std::end(kKeys)) {
      *err = where + ": unknown key '" + item.key() +
             "' (extension, mimeType, description and icon are read)";
      return false;
    }
    if (!item.value().is_string()) {
      *err = where + ": key '" + item.key() + "' must be a text";
      return false;
    }
    out->*key->field = item.value().get<std::string>();
  }
  if (!out->icon.empty() && fs::path(out->icon).is_relative()) {
    out->icon = (fs::path(base) / out->icon).lexically_normal().string();
  }
  return true;
}

// Characters that never make a file manager, the registry or a desktop
// entry's pattern read an extension differently; no dot, so "tar.gz" cannot
// be asked for (Windows goes by the last extension only).
std::string extensionProblem(const std::string& extension) {
  if (extension.empty()) return "'extension' is required, e.g. \"pwdoc\"";
  if (extension[0] == '.') {
    return "extension '" + extension + "': write it without the dot, e.g. \"" +
           extension.substr(1) + "\"";
  }
  const bool usable = extension.size() <= 32 &&
                      std::all_of(extension.begin(), extension.end(),
                                  [](char c) { return asciiAlnum(c) || c == '-' || c == '_'; });
  if (!usable) {
    return "extension '" + extension +
           "' may hold only ASCII letters, digits, '-' and '_' (at most 32)";
  }
  // Taking over how these open would change far more than one application.
  static const char* const kSystemTypes[] = {"bat", "cmd", "com", "cpl", "dll", "exe", "lnk",
                                             "msi", "pif", "ps1", "reg", "scr", "url", "vbs"};
  for (const char* type : kSystemTypes) {
    if (lower(extension) == type) {
      return "extension '" + extension + "' belongs to the system; choose the application's own";
    }
  }
  return "";
}

// RFC 6838's restricted-name: a letter or digit, then letters, digits and
// "!#$&-^_.+", at most 127.
bool restrictedName(const std::string& name) {
  return !name.empty() && name.size() <= 127 && asciiAlnum(name[0]) &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return asciiAlnum(c) || std::string("!#$&-^_.+").find(c) != std::string::npos;
         });
}

std::string mimeTypeProblem(const std::string& type) {
  if (type.empty()) return "'mimeType' is required, e.g. \"application/x-pwdoc\"";
  const std::size_t slash = type.find('/');
  const bool valid = slash != std::string::npos && restrictedName(type.substr(0, slash)) &&
                     restrictedName(type.substr(slash + 1)) && type == lower(type);
  if (valid) return "";
  return "mimeType '" + type +
         "' is not a media type: type/subtype in lower case, each a letter or digit followed "
         "by letters, digits and !#$&-^_.+ (no parameters), e.g. \"application/x-pwdoc\"";
}

std::string descriptionProblem(const std::string& description) {
  if (description.empty()) return "'description' is required: the name of the file type";
  const bool control = std::any_of(description.begin(), description.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  if (control) return "description holds a control character";
  return "";
}

std::string entryProblem(const FileAssociation& entry) {
  std::string problem = extensionProblem(entry.extension);
  if (problem.empty()) problem = mimeTypeProblem(entry.mimeType);
  if (problem.empty()) problem = descriptionProblem(entry.description);
  return problem;
}

std::string entryName(std::size_t index) {
  return "entry " + std::to_string(index + 1);
}

}  // namespace

bool parseFileAssociations(const nlohmann::json& list, const std::string& base,
                           const std::string& where, std::vector<FileAssociation>* out,
                           std::string* err) {
  if (!list.is_array()) {
    *err = where + " must be a list of objects [ { \"extension\": ..., ... } ]";
    return false;
  }
  out->clear();
  for (std::size_t i = 0; i < list.size(); ++i) {
    FileAssociation entry;
    if (!parseEntry(list[i], base, where + " " + entryName(i), &entry, err)) return false;
    out->push_back(entry);
  }
  return true;
}

std::string fileAssociationsProblem(const std::vector<FileAssociation>& list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string problem = entryProblem(list[i]);
    if (!problem.empty()) return entryName(i) + ": " + problem;
    for (std::size_t j = 0; j < i; ++j) {
      // Windows and file managers match extensions in any case.
      if (lower(list[j].extension) == lower(list[i].extension)) {
        return entryName(i) + ": extension '" + list[i].extension + "' is also in " + entryName(j) +
               ": give each extension once";
      }
      if (list[j].mimeType == list[i].mimeType) {
        return entryName(i) + ": mimeType '" + list[i].mimeType + "' is also in " + entryName(j) +
               ": give each type once";
      }
    }
  }
  return "";
}

}  // namespace plenwick

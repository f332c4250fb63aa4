// The "fileAssociations" section of a configuration: the file types the
// application opens, for the installers to register.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

namespace plenwick {

struct FileAssociation {
  std::string extension;    // without the dot: "pwdoc"
  std::string mimeType;     // type/subtype: "application/x-pwdoc"
  std::string description;  // what file managers show as the type's name
  std::string icon;         // a square PNG for the type's files; empty: the application's icon
};

// Reads the "fileAssociations" list of a configuration file; relative icon
// paths are taken from `base`. `where` names the section in messages.
bool parseFileAssociations(const nlohmann::json& list, const std::string& base,
                           const std::string& where, std::vector<FileAssociation>* out,
                           std::string* err);

// Empty when every entry is usable by every installer; otherwise what is wrong,
// naming the entry ("entry 2: ..."). Looks at the text only, not at the icons.
std::string fileAssociationsProblem(const std::vector<FileAssociation>& list);

}  // namespace plenwick

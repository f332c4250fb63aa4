#include "tools/pack/release/file_type_icons.h"

#include <algorithm>
#include <filesystem>

#include "tools/pack/files/replace.h"
#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

// The PNG as an .ico of the launcher's five sizes, at `file` under `work`.
bool writeTypeIcon(const FileAssociation& type, const std::string& work, const std::string& file,
                   std::string* err) {
  std::vector<std::vector<unsigned char>> pngs;
  std::string error;
  if (!makeIconSet({type.icon}, pngs, &error)) {
    *err = "the icon of file type '" + type.extension + "': " + error;
    return false;
  }
  std::error_code code;
  std::filesystem::create_directories(std::filesystem::path(work + "/" + file).parent_path(), code);
  return writeFileAtomically(work + "/" + file, iconFile(pngs), 0644, err);
}

}  // namespace

bool addFileTypes(const std::vector<FileAssociation>& types, const std::string& work,
                  InstallerSpec* spec, std::string* err) {
  for (FileAssociation type : types) {
    if (!type.icon.empty()) {
      // Extensions differ in more than case (fileAssociationsProblem), so these names do too.
      const std::string file = "icons/" + type.extension + ".ico";
      if (std::find(spec->files.begin(), spec->files.end(), file) != spec->files.end()) {
        *err = "the image holds " + file + ", where the installer puts a file type's icon";
        return false;
      }
      if (!writeTypeIcon(type, work, file, err)) return false;
      spec->files.push_back(file);
      spec->sources[file] = file;
      type.icon = file;
    }
    spec->fileTypes.push_back(type);
  }
  return true;
}

}  // namespace plenwick

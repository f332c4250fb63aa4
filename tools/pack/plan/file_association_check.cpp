#include "tools/pack/plan/file_association_check.h"

#include <filesystem>

#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

// Made into icons as the launcher's are, so the same rule: one square PNG of 256 px or more.
std::string iconProblem(const std::vector<FileAssociation>& types, std::size_t index) {
  const std::string& icon = types[index].icon;
  const std::string entry = "entry " + std::to_string(index + 1) + ": icon: ";
  std::error_code code;
  if (!std::filesystem::is_regular_file(icon, code)) return entry + "no such file: " + icon;
  std::vector<std::vector<unsigned char>> pngs;
  std::string error;
  return makeIconSet({icon}, pngs, &error) ? "" : entry + error;
}

}  // namespace

bool checkFileAssociations(const AppSettings& settings, std::string* err) {
  const std::vector<FileAssociation>& types = settings.fileAssociations;
  std::string problem = fileAssociationsProblem(types);
  for (std::size_t i = 0; i < types.size() && problem.empty(); ++i) {
    if (!types[i].icon.empty()) problem = iconProblem(types, i);
  }
  if (problem.empty()) return true;
  *err = settings.where("fileAssociations") + ": " + problem;
  return false;
}

}  // namespace plenwick

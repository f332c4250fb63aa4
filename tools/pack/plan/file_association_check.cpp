#include "tools/pack/plan/file_association_check.h"

#include <filesystem>

#include "tools/pack/windows/icons.h"

namespace plenwick {

namespace {

// Made into icons as the launcher's are, so the same rule: one square PNG of 256 px or more.
std::string iconProblem(const std::string& icon) {
  std::error_code code;
  if (!std::filesystem::is_regular_file(icon, code)) return "icon: no such file: " + icon;
  std::vector<std::vector<unsigned char>> pngs;
  std::string error;
  return makeIconSet({icon}, pngs, &error) ? "" : "icon: " + error;
}

}  // namespace

bool checkFileAssociations(const AppSettings& settings, std::string* err) {
  std::string problem = fileAssociationsProblem(settings.fileAssociations);
  for (std::size_t i = 0; i < settings.fileAssociations.size() && problem.empty(); ++i) {
    const std::string& icon = settings.fileAssociations[i].icon;
    if (!icon.empty()) problem = iconProblem(icon);
    if (!problem.empty()) problem = "entry " + std::to_string(i + 1) + ": " + problem;
  }
  if (problem.empty()) return true;
  *err = settings.where("fileAssociations") + ": " + problem;
  return false;
}

}  // namespace plenwick

#include "tools/pack/plan/file_association_check.h"

#include <filesystem>

namespace plenwick {

bool checkFileAssociations(const AppSettings& settings, std::string* err) {
  std::string problem = fileAssociationsProblem(settings.fileAssociations);
  for (std::size_t i = 0; i < settings.fileAssociations.size() && problem.empty(); ++i) {
    const std::string& icon = settings.fileAssociations[i].icon;
    std::error_code code;
    if (!icon.empty() && !std::filesystem::is_regular_file(icon, code)) {
      problem = "entry " + std::to_string(i + 1) + ": icon: no such file: " + icon;
    }
  }
  if (problem.empty()) return true;
  *err = settings.where("fileAssociations") + ": " + problem;
  return false;
}

}  // namespace plenwick

#include "tools/pack/plan/image_plan.h"

#include <filesystem>

namespace plenwick {

std::string launcherPath(const ImagePlan& plan, const std::string& root) {
  return (std::filesystem::path(root) / plan.launcherName).string();
}

}  // namespace plenwick

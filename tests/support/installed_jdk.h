// The home of a JDK of 19 or later under /usr/lib/jvm (jdeps' options, AppCDS
// archives that stay valid after a move), or empty when there is none.
#pragma once

#include <filesystem>
#include <string>

#include "tools/pack/runtime/java_release.h"

namespace plenwick {

inline std::string installedJdk() {
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/jvm", code)) {
    std::string home = entry.path().string();
    if (javaFeatureVersion(home) >= 19 && std::filesystem::exists(home + "/bin/jlink")) return home;
  }
  return {};
}

}  // namespace plenwick

// A JDK the tests can use for what needs a recent one (jdeps' options, AppCDS
// archives that stay valid after a move): 19 or later, under /usr/lib/jvm.
#pragma once

#include <filesystem>
#include <string>

#include "tools/pack/runtime/java_release.h"

namespace plenwick {

// Its home, or empty when there is none.
inline std::string installedJdk() {
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/jvm", code)) {
    const std::string home = entry.path().string();
    if (javaFeatureVersion(home) >= 19 && std::filesystem::exists(home + "/bin/jlink")) return home;
  }
  return {};
}

}  // namespace plenwick

#include "startup/home.h"

#include <cstdio>

namespace plenwick {

std::string homeAssignment(const char* profile) {
  if (profile == nullptr) return {};
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "HOME=%s", profile);
  return buffer;
}

void setHomeFromProfile(Platform& platform) {
  const std::string assignment =
      homeAssignment(platform.getEnvironment(platform.conventions().profileVariable));
  if (!assignment.empty()) platform.putEnvironment(assignment);
}

}  // namespace plenwick

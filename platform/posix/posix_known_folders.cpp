#include "platform/posix/posix_known_folders.h"

namespace plenwick {

uint32_t knownFolderPath(KnownFolder folder, EnvironmentReader getenv, std::string& path) {
  const bool local = folder == KnownFolder::LocalAppData;
  const char* xdg = getenv(local ? "XDG_DATA_HOME" : "XDG_CONFIG_HOME");
  if (xdg != nullptr && *xdg != '\0') {
    path = xdg;
    return kFolderOk;
  }
  const char* home = getenv("HOME");
  if (home == nullptr || *home == '\0') return kFolderFileNotFound;
  path = std::string(home) + (local ? "/.local/share" : "/.config");
  return kFolderOk;
}

}  // namespace plenwick

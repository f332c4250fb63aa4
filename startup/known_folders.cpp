#include "startup/known_folders.h"

#include <cstdio>
#include <string>

#include "startup/errors.h"

namespace plenwick {

bool knownFolderErrorShown = false;

void exportKnownFolder(Platform& platform, KnownFolder folder, const char* variableName,
                       bool redirected) {
  const uint32_t result = platform.exportKnownFolderPath(folder, redirected, variableName);
  if (result == kFolderOk || result == kFolderPathNotFound) return;
  if (result == kFolderFileNotFound) {
    platform.debugOutputWide(std::string("Could not find redirected ") + variableName +
                             ". Virtualization might be off for that folder, ignoring.\n");
    return;
  }
  if (knownFolderErrorShown) return;
  knownFolderErrorShown = true;
  char text[100];
  std::snprintf(text, sizeof text, "Error 0x%x", static_cast<unsigned>(result));
  platform.debugOutputNarrow(text);
  platform.writeStandardError(std::string(text) + platform.conventions().lineEnd);
  showErrorBox(platform, "Error converting known folder path to environment variable", text);
}

void exportKnownFolders(Platform& platform, bool packageAppDataVars) {
  exportKnownFolder(platform, KnownFolder::LocalAppData, "PACKAGE_LOCALAPPDATA", true);
  exportKnownFolder(platform, KnownFolder::RoamingAppData, "PACKAGE_APPDATA", true);
  exportKnownFolder(platform, KnownFolder::LocalAppData, "USER_LOCALAPPDATA", false);
  exportKnownFolder(platform, KnownFolder::RoamingAppData, "USER_APPDATA", false);
  if (packageAppDataVars) {
    exportKnownFolder(platform, KnownFolder::LocalAppData, "LOCALAPPDATA", true);
    exportKnownFolder(platform, KnownFolder::RoamingAppData, "APPDATA", true);
  }
}

}  // namespace plenwick

#include "startup/known_folders.h"

#include <cstdio>
#include <string>

#include "platform/error_output.h"

namespace plenwick {

bool knownFolderErrorShown = false;

namespace {

constexpr const char* kErrorCaption = "Error converting known folder path to environment variable";

// The query's own "not found": the folder is not virtualised for this package.
void reportFolderNotFound(Platform& platform, const char* variableName) {
  platform.debugOutputWide(std::string("Could not find redirected ") + variableName +
                           ". Virtualization might be off for that folder, ignoring.\n");
}

// Any other failure: the first one in the process goes to the debugger, the
// standard error stream and a box; later ones are not reported.
void reportUnexpectedFailure(Platform& platform, uint32_t result) {
  if (knownFolderErrorShown) return;
  knownFolderErrorShown = true;
  char text[100];
  std::snprintf(text, sizeof text, "Error 0x%x", static_cast<unsigned>(result));
  platform.debugOutputNarrow(text);
  writeErrorLine(platform, text);
  platform.showErrorBox(kErrorCaption, text);
}

}  // namespace

void exportKnownFolder(Platform& platform, KnownFolder folder, const char* variableName,
                       bool redirected) {
  const uint32_t result = platform.exportKnownFolderPath(folder, redirected, variableName);
  switch (result) {
    case kFolderOk:
    case kFolderPathNotFound:
      return;
    case kFolderFileNotFound:
      reportFolderNotFound(platform, variableName);
      return;
    default:
      reportUnexpectedFailure(platform, result);
  }
}

void exportKnownFolders(Platform& platform, bool packageAppDataVars) {
  exportKnownFolder(platform, KnownFolder::LocalAppData, "PACKAGE_LOCALAPPDATA", true);
  exportKnownFolder(platform, KnownFolder::RoamingAppData, "PACKAGE_APPDATA", true);
  exportKnownFolder(platform, KnownFolder::LocalAppData, "USER_LOCALAPPDATA", false);
  exportKnownFolder(platform, KnownFolder::RoamingAppData, "USER_APPDATA", false);
  if (!packageAppDataVars) return;
  exportKnownFolder(platform, KnownFolder::LocalAppData, "LOCALAPPDATA", true);
  exportKnownFolder(platform, KnownFolder::RoamingAppData, "APPDATA", true);
}

}  // namespace plenwick

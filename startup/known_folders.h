// Environment variables for the real and the package-redirected application-data folders.
#pragma once

#include "platform/platform.h"

namespace plenwick {

// Set once the first unexpected query failure has been reported; never cleared.
extern bool knownFolderErrorShown;

// Resolves one folder (the package-redirected location when `redirected`, the
// user's real folder otherwise) and sets `variableName` to it. By result code:
//  - success: the variable is set, nothing is reported;
//  - the folder is not found (0x80070002): one wide debug message, variable untouched;
//  - the path is not found (0x80070003): nothing at all, variable untouched;
//  - any other code, other success codes included: the first in the process is
//    written as "Error 0x%x" to the debugger, the standard error stream and an
//    error box; later ones are silent. Start-up goes on after every outcome.
void exportKnownFolder(Platform& platform, KnownFolder folder, const char* variableName,
                       bool redirected);

// The start-up's calls: PACKAGE_LOCALAPPDATA, PACKAGE_APPDATA (redirected),
// USER_LOCALAPPDATA, USER_APPDATA (real), then with `packageAppDataVars` also
// LOCALAPPDATA and APPDATA (redirected).
void exportKnownFolders(Platform& platform, bool packageAppDataVars);

}  // namespace plenwick

// Environment variables for the real and the package-redirected application-data folders.
#pragma once

#include "platform/platform.h"

namespace plenwick {

// Set once the first unexpected query failure has been reported.
extern bool knownFolderErrorShown;

// Resolves one folder and sets `variableName` to it. Expected failures are quiet;
// the first unexpected one is reported on three channels, later ones not at all.
void exportKnownFolder(Platform& platform, KnownFolder folder, const char* variableName,
                       bool redirected);

// The start-up's four calls, or six with `packageAppDataVars`.
void exportKnownFolders(Platform& platform, bool packageAppDataVars);

}  // namespace plenwick

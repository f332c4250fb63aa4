// The directories the launcher derives from its own location.
#pragma once

#include <string>

namespace plenwick {

// `executablePath` with its last two components removed (ROOT for ROOT/bin/x).
std::string computeInstallRoot(const std::string& executablePath, char separator);

// installRoot + separator + "app" + separator.
std::string appDirFor(const std::string& installRoot, char separator);

}  // namespace plenwick

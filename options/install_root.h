// The directories the launcher derives from its own location.
#pragma once

#include <string>

namespace plenwick {

// `executablePath` with its last two components removed (ROOT for ROOT/bin/x).
// Only `separator` separates components. A cut that finds no separator leaves
// the path as it is, so an executable directly below the root of a drive or
// file system gets that root as its install root: C:\x.exe gives "C:" and
// /x gives "" (with appDir C:\app\ and /app/). The launcher does not stop
// there; a runtime missing from that root makes JVM creation fail with its
// own message.
std::string computeInstallRoot(const std::string& executablePath, char separator);

// installRoot + separator + "app" + separator; always ends in `separator`.
std::string appDirFor(const std::string& installRoot, char separator);

}  // namespace plenwick

// The freedesktop.org menu entry of an installed application
// (/usr/share/applications/<name>.desktop).
#pragma once

#include <string>

#include "tools/pack/linux/linux_package.h"

namespace plenwick {

std::string desktopEntry(const LinuxPackage& p);

}  // namespace plenwick

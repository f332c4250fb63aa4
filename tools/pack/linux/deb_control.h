// The control file of a .deb (DEBIAN/control).
#pragma once

#include <cstdint>
#include <string>

#include "tools/pack/linux/linux_package.h"

namespace plenwick {

// `depends` as dpkg-shlibdeps computed it (may be empty); `installedKiB` the
// size of the installed files in KiB, as dpkg counts it.
std::string debControl(const LinuxPackage& p, const std::string& depends, uint64_t installedKiB);

// The text of an extended description: each line indented by one space,
// an empty line written as " .", as the control file format wants.
std::string controlContinuation(const std::string& text);

}  // namespace plenwick

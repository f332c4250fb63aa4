// Building a .deb from a laid-out package root with Debian's own tools.
#pragma once

#include <string>

#include "tools/pack/host/reporter.h"
#include "tools/pack/linux/linux_package.h"

namespace plenwick {

// The Depends field dpkg-shlibdeps computes from every ELF file under
// root/opt (the launcher, the runtime's libraries, the application's native
// ones); libraries the image holds itself count as its own. `work` is a
// private folder the tool may write in.
bool computeDepends(const std::string& root, const std::string& work, Reporter& reporter,
                    std::string* depends, std::string* err);

// The runtime's font library, which loads fontconfig at run time.
constexpr const char* kFontManager = "libfontmanager.so";

// Writes DEBIAN/control into `root` and builds `deb` from it; every file is
// owned by root in the package, whoever runs the packer.
bool buildDeb(const LinuxPackage& p, const std::string& root, const std::string& depends,
              const std::string& deb, Reporter& reporter, std::string* err);

}  // namespace plenwick

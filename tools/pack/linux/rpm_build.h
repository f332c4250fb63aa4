// Building an .rpm from a laid-out package root with rpmbuild.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/host/reporter.h"
#include "tools/pack/linux/linux_package.h"

namespace plenwick {

// The .spec file: the payload is copied from the root named by the build's
// PLENWICK_ROOT variable (an environment value is never read as a macro).
// rpm's automatic requires stay on, but none for the libraries the image
// holds itself (`ownLibraries`, file names), and it provides nothing.
std::string rpmSpec(const LinuxPackage& p, const std::vector<std::string>& ownLibraries);

// Builds the package from `root` in a folder inside `work`; *rpm receives its path.
bool buildRpm(const LinuxPackage& p, const std::string& root, const std::string& work,
              Reporter& reporter, std::string* rpm, std::string* err);

}  // namespace plenwick

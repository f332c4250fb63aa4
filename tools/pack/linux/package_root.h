// The tree of installed files both package formats are built from: the image
// whole under /opt/<name>, a command in /usr/bin, the menu entry and icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/pack/linux/linux_package.h"

namespace plenwick {

struct PackageRootRequest {
  std::string image;               // the Linux image, put in unchanged
  std::vector<std::string> icons;  // one large PNG or five; none: no Icon key
  bool debian = false;             // also the files Debian wants: copyright, lintian overrides
};

// Lays the tree out in `root` (which must not exist). Files keep their modes
// and modification times; what the package adds is 0644, folders 0755.
bool layOutPackageRoot(const PackageRootRequest& r, const LinuxPackage& p, const std::string& root,
                       std::string* err);

// The installed size as dpkg counts it: each file's size in KiB rounded up,
// one KiB for each folder and link.
uint64_t installedKiB(const std::string& root, std::string* err);

}  // namespace plenwick

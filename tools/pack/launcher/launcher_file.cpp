#include "tools/pack/launcher/launcher_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "config/block_encoder.h"
#include "config/region_locator.h"

namespace plenwick {
namespace {

std::string systemError() {
  return std::strerror(errno);
}

}  // namespace

bool readLauncher(const std::string& path, LauncherFile& launcher, std::string* err) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    *err = "cannot read " + path + ": " + systemError();
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *err = path + " is not a regular file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *err = "cannot open " + path + ": " + systemError();
    return false;
  }
  launcher.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *err = "cannot read " + path + ": " + systemError();
    return false;
  }
  const RegionLocation location = locateRegion(launcher.bytes);
  if (!location.found()) {
    *err = path + ": " + location.error;
    return false;
  }
  launcher.regionOffset = location.offset;
  return true;
}

bool stillUnpacked(const LauncherFile& launcher) {
  const std::vector<unsigned char> unpacked = unpackedRegion();
  return std::equal(unpacked.begin(), unpacked.end(),
                    launcher.bytes.begin() + static_cast<std::ptrdiff_t>(launcher.regionOffset));
}

}  // namespace plenwick

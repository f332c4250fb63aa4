#include "tools/pack/launcher/launcher_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "config/region_locator.h"

namespace plenwick {
namespace {

std::string systemError() {
  return std::strerror(errno);
}

}  // namespace

bool readLauncher(const std::string& path, LauncherFile& launcher, std::string& error) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    error = "cannot read " + path + ": " + systemError();
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = path + " is not a regular file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path + ": " + systemError();
    return false;
  }
  launcher.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = "cannot read " + path + ": " + systemError();
    return false;
  }
  const RegionLocation location = locateRegion(launcher.bytes);
  if (!location.found()) {
    error = path + ": " + location.error;
    return false;
  }
  launcher.regionOffset = location.offset;
  return true;
}

}  // namespace plenwick

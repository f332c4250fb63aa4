#include "tools/pack/launcher_file.h"

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

bool readLauncher(const std::string& path, LauncherImage& image, std::string& error) {
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
  image.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = "cannot read " + path + ": " + systemError();
    return false;
  }
  const RegionLocation location = locateRegion(image.bytes);
  if (!location.found()) {
    error = path + ": " + location.error;
    return false;
  }
  image.regionOffset = location.offset;
  return true;
}

bool writeFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                         bool executable, std::string& error) {
  const std::string temporary = path + ".plenwick-tmp";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + path + ": " + systemError();
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) {
    error = "cannot write " + path + ": " + systemError();
    std::remove(temporary.c_str());
    return false;
  }
  if (executable) chmod(temporary.c_str(), 0755);
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot replace " + path + ": " + systemError();
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace plenwick

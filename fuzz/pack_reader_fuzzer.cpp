// Any bytes as the launcher the packer reads: a clear error or a region inside
// the file, never a crash, and what is found can be packed.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "config/region_locator.h"
#include "tools/pack/launcher/launcher_file.h"

namespace {
std::string work;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/plenwick-pack-fuzz-XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  work = pattern;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  const plenwick::RegionLocation location = plenwick::locateRegion(bytes);
  if (location.found() ? size - location.offset < plenwick::kLaunchConfigBlockSize
                       : location.error.empty()) {
    std::abort();
  }
  const std::string input = work + "/input";
  std::ofstream(input, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  plenwick::LauncherFile image;
  std::string error;
  if (plenwick::readLauncher(input, image, &error) != location.found()) std::abort();
  if (location.found()) {
    if (image.bytes != bytes || image.regionOffset != location.offset) std::abort();
    plenwick::LaunchConfig config;
    std::vector<unsigned char> packed = image.bytes;
    if (!plenwick::writeLaunchConfigBlock(config, packed, &error)) std::abort();
  } else if (error.find(input) == std::string::npos) {
    std::abort();  // the message names the file
  }
  unlink(input.c_str());
  return 0;
}

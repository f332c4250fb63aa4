// Any bytes as the launcher the packer reads: a clear error or a region inside
// the file, never a crash, and a packed copy is either complete or not there.
#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/region_locator.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/launcher/launcher_file.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "pack_reader_fuzzer: %s\n", what);
    std::abort();
  }
}

std::string workDirectory;

std::vector<std::string> namesIn(const std::string& directory) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(directory.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

std::vector<unsigned char> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/plenwick-pack-fuzz-XXXXXX";
  check(mkdtemp(pattern) != nullptr, "cannot create a work directory");
  workDirectory = pattern;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);

  const plenwick::RegionLocation location = plenwick::locateRegion(bytes);
  if (location.found()) {
    check(location.offset <= bytes.size() &&
              bytes.size() - location.offset >= plenwick::kLaunchConfigBlockSize,
          "the region found does not lie inside the file");
  } else {
    check(!location.error.empty(), "a failure without a message");
  }

  // The same bytes through the file reader, then packed into a copy.
  const std::string input = workDirectory + "/input";
  const std::string output = workDirectory + "/output";
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  plenwick::LauncherFile launcher;
  std::string error;
  const bool read = plenwick::readLauncher(input, launcher, &error);
  check(read == location.found(), "the file reader and the locator disagree");
  if (!read) {
    check(!error.empty(), "a failure without a message");
    check(error.find(input) != std::string::npos, "the message does not name the file");
  } else {
    check(launcher.bytes == bytes, "the reader changed the bytes");
    check(launcher.regionOffset == location.offset, "the reader found another region");

    plenwick::LaunchConfig config;
    config.mainClass = "fuzz.Main";
    config.jvmOptions = {"-Xmx64m"};
    std::vector<unsigned char> packed = launcher.bytes;
    check(plenwick::writeLaunchConfigBlock(config, packed, &error),
          "a readable launcher was not packed");
    if (plenwick::writeFileAtomically(output, packed, 0777, &error)) {
      check(readAll(output) == packed, "the packed copy is not complete");
      plenwick::LauncherFile again;
      check(plenwick::readLauncher(output, again, &error), "the packed copy cannot be read back");
      plenwick::LaunchConfig decoded;
      check(plenwick::decodeLaunchConfig(again.bytes.data() + again.regionOffset,
                                         plenwick::kLaunchConfigBlockSize, decoded) &&
                decoded.mainClass == "fuzz.Main",
            "the packed copy holds another configuration");
    }
  }
  std::remove(output.c_str());
  std::remove(input.c_str());
  check(namesIn(workDirectory).empty(), "the packer left a file behind");
  return 0;
}

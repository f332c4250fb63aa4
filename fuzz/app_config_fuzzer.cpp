// Any bytes as the packer's application configuration file: loaded, or
// refused with a message that names the file; never a crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/pack/app/config_file.h"

namespace {

std::string configPath;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "app_config_fuzzer: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/plenwick-config-fuzz-XXXXXX";
  check(mkdtemp(pattern) != nullptr, "cannot create a work directory");
  configPath = std::string(pattern) + "/app.json";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  {
    std::ofstream out(configPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  plenwick::AppConfig config;
  std::string error;
  if (!plenwick::loadAppConfigFile(configPath, config, &error)) {
    check(!error.empty(), "a configuration refused without a message");
    check(error.find("app.json") != std::string::npos, "the message does not name the file");
    return 0;
  }
  return 0;
}

// Any bytes as a configuration file: an application description or a message
// naming the file, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/pack/app/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string file = "/fuzz/app.json";
  plenwick::AppSettings config;
  std::string error;
  if (!plenwick::parseAppConfig(file, std::string(data, data + size), config, &error) &&
      error.rfind(file, 0) != 0) {
    std::abort();
  }
  return 0;
}

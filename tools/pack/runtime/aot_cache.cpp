#include "tools/pack/runtime/aot_cache.h"

#include <algorithm>

namespace plenwick {
namespace {

constexpr const char* kCachePrefix = "-XX:AOTCache=";

bool isCacheOption(const std::string& option) {
  return option.rfind(kCachePrefix, 0) == 0;
}

}  // namespace

std::string aotCacheOption(const std::string& file) {
  // "&&" is app/ wherever the image is: the cache accepts a class path that
  // moved with it as long as the jars keep their sizes and times.
  return kCachePrefix + std::string("&&") + file;
}

LaunchConfig aotRecordLaunch(LaunchConfig launch, const std::string& configuration) {
  launch = withoutAotCache(std::move(launch));
  launch.jvmOptions.insert(launch.jvmOptions.end(),
                           {"-XX:AOTMode=record", "-XX:AOTConfiguration=" + configuration});
  return launch;
}

LaunchConfig aotCreateLaunch(LaunchConfig launch, const std::string& configuration) {
  launch.jvmOptions.insert(launch.jvmOptions.end(),
                           {"-XX:AOTMode=create", "-XX:AOTConfiguration=" + configuration});
  return launch;
}

LaunchConfig withoutAotCache(LaunchConfig launch) {
  std::vector<std::string>& options = launch.jvmOptions;
  options.erase(std::remove_if(options.begin(), options.end(), isCacheOption), options.end());
  return launch;
}

}  // namespace plenwick

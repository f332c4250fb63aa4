#include "config/block_encoder.h"

#include <algorithm>

#include "config/launch_flags.h"

namespace plenwick {
namespace {

std::string checkString(const std::string& value, const std::string& what) {
  if (value.find('\0') != std::string::npos) return what + " contains a NUL byte";
  return {};
}

std::string checkList(const std::vector<std::string>& list, const std::string& what) {
  if (list.size() > kMaxListEntries) {
    return "too many " + what + "s: " + std::to_string(list.size()) + " (the most is " +
           std::to_string(kMaxListEntries) + ")";
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::string error = checkString(list[i], what + " " + std::to_string(i + 1));
    if (!error.empty()) return error;
  }
  return {};
}

void appendString(std::vector<unsigned char>& out, const std::string& value) {
  out.insert(out.end(), value.begin(), value.end());
  out.push_back(0);
}

void appendList(std::vector<unsigned char>& out, const std::vector<std::string>& list) {
  out.push_back(static_cast<unsigned char>(list.size()));
  for (const std::string& entry : list) appendString(out, entry);
}

}  // namespace

std::vector<unsigned char> unpackedRegion() {
  std::vector<unsigned char> region(kLaunchConfigBlockSize);
  writeUnpackedBlock(region.data());
  return region;
}

EncodeResult encodeLaunchConfig(const LaunchConfig& config) {
  EncodeResult result;
  result.error = checkString(config.mainClass, "the main class");
  if (result.error.empty()) result.error = checkList(config.jvmOptions, "JVM option");
  if (result.error.empty()) result.error = checkList(config.appArguments, "argument");
  if (!result.ok()) return result;

  std::vector<unsigned char> block;
  unsigned flags = 0;
  for (const LaunchFlag& flag : kLaunchFlags) flags |= unsigned{config.*flag.field} << flag.bit;
  block.push_back(static_cast<unsigned char>(flags));
  for (int shift = 24; shift >= 0; shift -= 8) {
    block.push_back(static_cast<unsigned char>(config.threadStackSize >> shift));
  }
  appendString(block, config.mainClass);
  appendList(block, config.jvmOptions);
  appendList(block, config.appArguments);

  if (block.size() > kLaunchConfigBlockSize - 1) {
    result.error = "the configuration needs " + std::to_string(block.size()) +
                   " bytes, but the launcher's region holds at most " +
                   std::to_string(kLaunchConfigBlockSize - 1);
    return result;
  }
  result.region = unpackedRegion();
  std::copy(block.begin(), block.end(), result.region.begin());
  return result;
}

}  // namespace plenwick

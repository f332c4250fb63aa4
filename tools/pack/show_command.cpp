#include <algorithm>
#include <cstdio>

#include "config/block_encoder.h"
#include "tools/pack/commands.h"
#include "tools/pack/launcher_file.h"

namespace plenwick {
namespace {

constexpr const char* kShowUsage =
    "Usage: plenwick-pack show LAUNCHER\n"
    "\n"
    "Prints the launch settings packed into a launcher.\n";

const char* yesNo(bool value) {
  return value ? "true" : "false";
}

void appendList(std::string& out, const char* name, const std::vector<std::string>& list) {
  out += std::string(name) + " (" + std::to_string(list.size()) + "):\n";
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += "  [" + std::to_string(i) + "] " + list[i] + "\n";
  }
}

}  // namespace

std::string describeConfig(const LaunchConfig& config) {
  std::string out;
  out += std::string("runOnCallingThread: ") + yesNo(config.runOnCallingThread) + "\n";
  out += std::string("consoleApp: ") + yesNo(config.consoleApp) + "\n";
  out += std::string("utf8Console: ") + yesNo(config.utf8Console) + "\n";
  out += std::string("reservedFlag3: ") + yesNo(config.reservedFlag3) + "\n";
  out += std::string("packageAppDataVars: ") + yesNo(config.packageAppDataVars) + "\n";
  out += "threadStackSize: " + std::to_string(config.threadStackSize) + "\n";
  out += "mainClass: " + config.mainClass + "\n";
  appendList(out, "jvmOptions", config.jvmOptions);
  appendList(out, "appArguments", config.appArguments);
  return out;
}

int showCommand(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kShowUsage, stdout);
    return kExitOk;
  }
  if (args.size() != 1) {
    std::fprintf(stderr, "plenwick-pack show: expected one launcher file\n\n%s", kShowUsage);
    return kExitUsage;
  }
  LauncherImage image;
  std::string error;
  if (!readLauncher(args[0], image, error)) {
    std::fprintf(stderr, "plenwick-pack show: %s\n", error.c_str());
    return kExitFailed;
  }
  const unsigned char* region = image.bytes.data() + image.regionOffset;
  const std::vector<unsigned char> unpacked = unpackedRegion();
  if (std::equal(unpacked.begin(), unpacked.end(), region)) {
    std::fprintf(stderr, "plenwick-pack show: %s has not been packed yet\n", args[0].c_str());
    return kExitFailed;
  }
  LaunchConfig config;
  if (!decodeLaunchConfig(region, kLaunchConfigBlockSize, config)) {
    std::fprintf(stderr,
                 "plenwick-pack show: the launch configuration in %s is damaged: it runs off "
                 "the end of its region\n",
                 args[0].c_str());
    return kExitFailed;
  }
  std::fputs(describeConfig(config).c_str(), stdout);
  return kExitOk;
}

}  // namespace plenwick

// The launcher's behaviour flags, one row each: the block's encoder and
// decoder, the packer's keys and options and `show` all go through this table.
#pragma once

#include <cstddef>

#include "config/launch_config.h"

namespace plenwick {

struct LaunchFlag {
  unsigned bit;         // in the block's first byte
  const char* key;      // in JSON: the configuration file and `show`
  const char* option;   // on the command line, without "--"
  const char* meaning;  // for usage texts
  bool LaunchConfig::*field;
};

inline constexpr LaunchFlag kLaunchFlags[] = {
    {0, "runOnCallingThread", "run-on-calling-thread",
     "run Java on the initial thread instead of a new one", &LaunchConfig::runOnCallingThread},
    {1, "consoleApp", "console-app", "a console application: no error box",
     &LaunchConfig::consoleApp},
    {2, "utf8Console", "utf8-console", "switch a console application's console to UTF-8",
     &LaunchConfig::utf8Console},
    {3, "reservedFlag3", "reserved-flag3", "set the reserved flag bit 3",
     &LaunchConfig::reservedFlag3},
    {4, "packageAppDataVars", "package-appdata-vars",
     "also set LOCALAPPDATA and APPDATA to the package folders", &LaunchConfig::packageAppDataVars},
};

constexpr std::size_t kLaunchFlagCount = sizeof kLaunchFlags / sizeof kLaunchFlags[0];

}  // namespace plenwick

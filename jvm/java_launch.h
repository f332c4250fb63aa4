// What launchJvm starts Java from: the platform, the decoded configuration and
// main's arguments, handed in as one value rather than read from globals.
#pragma once

#include "config/launch_config.h"
#include "platform/platform.h"

namespace plenwick {

// main's arguments, the process-wide record that main writes before anything
// else. The launcher's code reads them from JavaLaunch, not from here.
extern int processArgc;
extern char** processArgv;

struct JavaLaunch {
  Platform& platform;
  LaunchConfig& config;  // launchJvm appends the command option to its JVM options
  int argc;
  char** argv;
};

}  // namespace plenwick

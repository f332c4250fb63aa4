// The launcher's start-up sequence, from main's arguments to the Java thread.
#pragma once

#include <string>

#include "config/launch_config.h"
#include "platform/platform.h"

namespace plenwick {

// main's arguments, saved before anything else.
extern int processArgc;
extern char** processArgv;

// Everything main does; returns main's exit code.
int runLauncher(Platform& platform, const LaunchConfig& config, int argc, char** argv);

}  // namespace plenwick

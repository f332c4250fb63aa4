// plenwick-pack show: prints the launch settings packed into a launcher.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick {

// The decoded block as text, one field a line.
std::string describeConfig(const LaunchConfig& config);

// The decoded block as one JSON object (the "config" of show --json).
std::string describeConfigJson(const LaunchConfig& config);

// Returns the exit code.
int showCommand(const std::vector<std::string>& args);

}  // namespace plenwick

// The packer's commands. Each returns the process exit code: 0 ok, 1 failed, 2 usage.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/launch_config.h"

namespace plenwick {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// "512K", "2M", "1048576" -> bytes; false for anything else or a size beyond 32 bits.
bool parseStackSize(const std::string& text, uint32_t& size);

// The decoded block as text, one field a line.
std::string describeConfig(const LaunchConfig& config);

int writeCommand(const std::vector<std::string>& args);
int showCommand(const std::vector<std::string>& args);
int imageCommand(const std::vector<std::string>& args);
int signCommand(const std::vector<std::string>& args);
int installerCommand(const std::vector<std::string>& args);

}  // namespace plenwick

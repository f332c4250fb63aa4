// plenwick-pack image: lays out an application image. Returns the exit code.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_config.h"
#include "tools/pack/files/replace.h"

namespace plenwick {

int imageCommand(const std::vector<std::string>& args);

// Reads and checks an image's configuration from `args` for `command`,
// printing what is wrong. Stops at --help, setting *help. Returns the exit code.
int readImageConfig(const std::string& command, const std::vector<std::string>& args,
                    AppConfig* config, bool* help);

// Builds the whole image, marker last, at staging.imagePath().
bool buildImage(const AppConfig& config, Staging& staging, std::string* err);

}  // namespace plenwick

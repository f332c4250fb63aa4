// plenwick-pack image: lays out an application image. Returns the exit code.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_settings.h"
#include "tools/pack/plan/image_plan.h"

namespace plenwick {

int imageCommand(const std::vector<std::string>& args);

// Reads the settings of an image from `args` for `command` and plans it,
// printing what is wrong. Stops at --help, setting *help. Returns the exit code.
int readImageConfig(const std::string& command, const std::vector<std::string>& args,
                    AppSettings* settings, ImagePlan* plan, bool* help);

}  // namespace plenwick

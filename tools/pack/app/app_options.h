// Command-line options of `plenwick-pack image`, applied to an application description.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_settings.h"

namespace plenwick {

// Applies command-line options to `config` (they override the file; a list
// given on the command line replaces the file's list). A first argument not
// starting with "-" is the configuration file, read before the options.
// Stops at --help, setting *help. False with a message on wrong usage.
bool parseImageArguments(const std::vector<std::string>& args, AppSettings& config, bool* help,
                         std::string* err);

}  // namespace plenwick

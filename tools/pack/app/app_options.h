// Command-line options of `plenwick-pack image`, applied to an application description.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/app/app_config.h"

namespace plenwick {

enum class OptionParse { kOk, kHelp, kUsageError };

// Applies command-line options to `config` (they override the file; a list
// given on the command line replaces the file's list). A first argument not
// starting with "-" is the configuration file, read before the options.
OptionParse parseImageArguments(const std::vector<std::string>& args, AppConfig& config,
                                std::string& error);

}  // namespace plenwick

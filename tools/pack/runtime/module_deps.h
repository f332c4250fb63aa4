// The modules a runtime made with jlink must hold.
#pragma once

#include <string>

#include "tools/pack/app/app_config.h"

namespace plenwick {

// The comma-separated modules for jlink: config.modules when given, else what
// the JDK's jdeps finds the jars need.
bool findModules(const AppConfig& config, std::string& modules, std::string* err);

}  // namespace plenwick

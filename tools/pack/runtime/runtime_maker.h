// The runtime inside an application image: made with jlink (with the default
// CDS archive) or copied from a prepared runtime directory.
#pragma once

#include <string>

#include "tools/pack/app/app_config.h"
#include "tools/pack/files/replace.h"

namespace plenwick {

// Makes the runtime at staging.imagePath() (which must not exist yet). Prints
// what it does.
bool makeRuntime(const AppConfig& config, Staging& staging, std::string* err);

}  // namespace plenwick

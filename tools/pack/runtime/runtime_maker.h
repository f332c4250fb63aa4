// The runtime inside an application image: made with jlink (with the default
// CDS archive) or copied from a prepared runtime directory.
#pragma once

#include <string>

#include "tools/pack/app_config.h"

namespace plenwick {

// The feature version in a runtime's or JDK's `release` file (17 for
// JAVA_VERSION="17.0.9"), or 0 when unknown.
int javaFeatureVersion(const std::string& home);

class Staging;

// Makes the runtime at staging.imagePath() (which must not exist yet). Prints
// what it does.
bool makeRuntime(const AppConfig& config, Staging& staging, std::string& error);

}  // namespace plenwick

// The application class-data archive (AppCDS): whether an image gets one, and
// the training run that writes it.
#pragma once

#include <string>

#include "tools/pack/app/app_config.h"
#include "tools/pack/files/replace.h"

namespace plenwick {

// The archive's file name in app/.
std::string appCdsArchive(const AppConfig& config);

// Whether the image at `root` (with its runtime) gets an archive; prints why not.
bool wantAppCds(const AppConfig& config, const std::string& root);

// Runs the packed launcher once; the runtime writes the archive when it ends.
// Anything else the run leaves in the image is removed.
bool trainAppCds(const AppConfig& config, Staging& staging, std::string* err);

}  // namespace plenwick

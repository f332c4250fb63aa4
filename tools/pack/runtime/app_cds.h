// The application class-data archive (AppCDS): whether an image gets one, and
// the training run that writes it.
#pragma once

#include <optional>
#include <string>

#include "tools/pack/app/app_config.h"
#include "tools/pack/files/replace.h"

namespace plenwick {

// The archive's file name in app/.
std::string appCdsArchive(const AppConfig& config);

struct AppCdsChoice {
  bool on = false;
  std::string note;  // why it is off, for the user; empty when there is nothing to say
};

// Windows images have none (no training run here); neither has one that asks
// for none; otherwise only runtimes from 19 on, which keep it valid after a move.
AppCdsChoice chooseAppCds(bool windows, std::optional<bool> requested, int runtimeFeature);

// Whether the image at `root` (with its runtime) gets an archive; prints why not.
bool wantAppCds(const AppConfig& config, const std::string& root);

// Runs the packed launcher once; the runtime writes the archive when it ends.
// Anything else the run leaves in the image is removed.
bool trainAppCds(const AppConfig& config, Staging& staging, std::string* err);

}  // namespace plenwick

// The application class-data archive (AppCDS): whether an image gets one, and
// the training run that writes it.
#pragma once

#include <optional>
#include <string>

#include "config/launch_config.h"
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

// Runs a launcher packed with `launch` once, with private folders for its
// home and temporary files; the runtime writes the archive when it ends.
// Then packs the launcher with `launch` alone. A run that changes the image in
// any other way (adds, changes or removes an entry) fails with the list.
bool trainAppCds(const AppConfig& config, const LaunchConfig& launch, Staging& staging,
                 std::string* err);

}  // namespace plenwick

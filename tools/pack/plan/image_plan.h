// Everything a run of `plenwick-pack image` derives from the settings before
// it builds: the target, the resolved defaults, the runtime, what goes into
// app/, the launch settings, the class cache decision and the output. Made once by
// planImage(); the image builder reads it and changes nothing on it.
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"
#include "tools/pack/app/sign_settings.h"
#include "tools/pack/content/app_content.h"
#include "tools/pack/launcher/packed_launcher.h"
#include "tools/pack/runtime/app_cds.h"
#include "tools/pack/runtime/runtime_source.h"

namespace plenwick {

struct ImagePlan {
  std::string output;  // the image directory: absolute and normal, checked
  bool windows = false;
  RuntimeSource runtime;     // the JDK (the default one when none was given) or runtime
  AppContent content;        // app/: its files, class path and native library folders
  std::string bootstrapJar;  // the resolved plenwick-bootstrap.jar
  LauncherSource launcher;   // the resolved launcher, with the Windows identity and icons
  std::string launcherName;  // "bin/NAME", "bin/NAME.exe" for Windows targets
  LaunchConfig launch;       // what the launcher is packed with (the cache's options included)
  ClassCache cache = ClassCache::none;  // training runs write app/<cacheFile>
  std::string cacheFile;
  std::vector<std::string> trainingArguments;
  SignSettings sign;                // the Windows launcher is signed when given
  std::string description;          // the name Windows shows for the signed launcher
  std::vector<std::string> notes;   // what the planning decided that the user should hear
  std::vector<std::string> inputs;  // everything the image is made from, defaults included
};

// root/bin/NAME (".exe" for Windows targets).
std::string launcherPath(const ImagePlan& plan, const std::string& root);

}  // namespace plenwick

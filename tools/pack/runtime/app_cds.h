// The application class-data archive (AppCDS): whether an image gets one, and
// the training run that writes it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/launch_config.h"
#include "tools/pack/host/reporter.h"

namespace plenwick {

// The archive's file name in app/ for the application `name`.
std::string appCdsArchive(const std::string& name);

struct AppCdsChoice {
  bool on = false;
  std::string note;  // why it is off, for the user; empty when there is nothing to say
};

// Windows images have none (no training run here); neither has one that asks
// for none; otherwise only runtimes from 19 on, which keep it valid after a move.
AppCdsChoice chooseAppCds(bool windows, std::optional<bool> requested, int runtimeFeature);

// The training run's private folders, made in the run's working folder: its
// working folder, its home and its temporary folder.
struct TrainingFolders {
  std::string run, home, temp;
};
bool makeTrainingFolders(const std::string& work, TrainingFolders* folders, std::string* err);

// `launch` for the training run: the JVM takes its home from the password
// database, not from HOME, so the private folders are named as options too.
LaunchConfig trainingLaunch(LaunchConfig launch, const TrainingFolders& folders);

struct TrainingRun {
  std::string root;                    // the image
  std::string launcher;                // its launcher, packed with trainingLaunch(), from root
  std::vector<std::string> arguments;  // the application's arguments for the run
  std::string archive;                 // where the runtime writes the archive, from root
};

// Runs the launcher once in `folders`; the runtime writes the archive when it
// ends. A run that changes the image in any other way (adds, changes or
// removes an entry) fails with the list.
bool runTraining(const TrainingRun& t, const TrainingFolders& folders, Reporter& reporter,
                 std::string* err);

}  // namespace plenwick

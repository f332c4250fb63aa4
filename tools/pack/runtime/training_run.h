// The training run: the packed launcher of an image started once, sealed off,
// so that the runtime writes what makes later starts faster (an AppCDS
// archive, an AOT cache's configuration or the cache itself).
#pragma once

#include <string>
#include <vector>

#include "config/launch_config.h"
#include "tools/pack/host/reporter.h"

namespace plenwick {

// The system property set to "true" in a training run: an application may end
// once it has done what a start does (a GUI application: its first window is
// shown).
constexpr const char* kTrainingProperty = "plenwick.training";

// The training run's private folders, made in the run's working folder: its
// working folder, its home and its temporary folder.
struct TrainingFolders {
  std::string run, home, temp;
};
bool makeTrainingFolders(const std::string& work, TrainingFolders* folders, std::string* err);

// `launch` for the training run: the JVM takes its home from the password
// database, not from HOME, so the private folders are named as options too;
// and kTrainingProperty.
LaunchConfig trainingLaunch(LaunchConfig launch, const TrainingFolders& folders);

struct TrainingRun {
  std::string title;                   // "AppCDS: training run", for the step and the messages
  std::string root;                    // the image
  std::string launcher;                // its launcher, packed with trainingLaunch(), from root
  std::vector<std::string> arguments;  // the application's arguments for the run
  std::string allowed;                 // the one entry it may write in the image, from root
  std::string product;                 // the file the run is for: an absolute path
  std::string withoutProduct;          // what it means when the run leaves none
  bool showsWindows = true;            // the application runs: it gets a display
};

// Runs the launcher once in `folders` (with a display, see TrainingDisplay,
// when it shows windows); `made` tells whether the product is there. A run
// that changes the image in any other way than `allowed` (adds, changes or
// removes an entry) fails with the list. One that fails or leaves no product
// is a warning with its last lines of output.
bool runTraining(const TrainingRun& t, const TrainingFolders& folders, Reporter& reporter,
                 bool* made, std::string* err);

}  // namespace plenwick

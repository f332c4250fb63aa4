#include "startup/startup.h"

#include "jvm/launch_jvm.h"
#include "startup/errors.h"
#include "startup/home.h"
#include "startup/known_folders.h"

namespace plenwick {

int processArgc = 0;
char** processArgv = nullptr;

int runLauncher(Platform& platform, const LaunchConfig& config, int argc, char** argv) {
  processArgc = argc;
  processArgv = argv;
  if (!config.intact) {
    platform.writeStandardError(
        std::string("The launch configuration in this executable is missing or damaged; it "
                    "cannot start. Pack the launcher again with plenwick-pack.") +
        platform.conventions().lineEnd);
    return 1;
  }
  if (config.consoleApp && config.utf8Console) platform.setUpUtf8Console();
  exportKnownFolders(platform, config.packageAppDataVars);
  setHomeFromProfile(platform);
  if (config.runOnCallingThread) {
    launchJvm();
    return 0;
  }
  if (!platform.runOnNewThread(config.threadStackSize, launchJvm)) {
    fatalError("CreateThread failed.");
  }
  return 0;
}

}  // namespace plenwick

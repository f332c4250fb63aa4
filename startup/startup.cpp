#include "startup/startup.h"

#include "jvm/java_launch.h"
#include "platform/error_output.h"
#include "startup/home.h"
#include "startup/known_folders.h"

namespace plenwick {

int runLauncher(Platform& platform, const LaunchConfig& config, int argc, char** argv,
                void (*startJava)()) {
  processArgc = argc;
  processArgv = argv;
  if (!config.intact) {
    fatalError(platform,
               "The launch configuration in this executable is missing or damaged; it cannot "
               "start. Pack the launcher again with plenwick-pack.");
  }
  if (config.consoleApp && config.utf8Console) platform.setUpUtf8Console();
  exportKnownFolders(platform, config.packageAppDataVars);
  setHomeFromProfile(platform);
  if (config.runOnCallingThread) {
    startJava();
  } else if (!platform.runOnNewThread(config.threadStackSize, startJava)) {
    fatalError(platform, "CreateThread failed.");
  }
  return 0;
}

}  // namespace plenwick

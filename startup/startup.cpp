#include "startup/startup.h"

#include "jvm/launch_jvm.h"
#include "platform/error_output.h"
#include "startup/home.h"
#include "startup/known_folders.h"

namespace plenwick {
namespace {

// The Java thread's start: its JavaLaunch came through the thread call.
void runJavaThread(void* launch) {
  launchJvm(*static_cast<JavaLaunch*>(launch));
}

}  // namespace

int runLauncher(JavaLaunch& launch) {
  Platform& platform = launch.platform;
  const LaunchConfig& config = launch.config;
  if (!config.intact) {
    fatalError(platform,
               "The launch configuration in this executable is missing or damaged; it cannot "
               "start. Pack the launcher again with plenwick-pack.");
  }
  if (config.consoleApp && config.utf8Console) platform.setUpUtf8Console();
  exportKnownFolders(platform, config.packageAppDataVars);
  setHomeFromProfile(platform);
  if (config.runOnCallingThread) launchJvm(launch);  // ends the process
  // `launch` outlives the thread: runOnNewThread waits for it.
  if (!platform.runOnNewThread(config.threadStackSize, runJavaThread, &launch)) {
    fatalError(platform, "CreateThread failed.");
  }
  return 0;
}

}  // namespace plenwick

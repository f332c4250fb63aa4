// The launcher's entry function: the same on every platform. It writes the
// process-wide record (launchConfig is decoded before it runs); everything
// after it takes that record as parameters.
#include "config/launch_config_block.h"
#include "jvm/java_launch.h"
#include "platform/platform.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
  plenwick::processArgc = argc;
  plenwick::processArgv = argv;
  plenwick::JavaLaunch launch{plenwick::systemPlatform(), plenwick::launchConfig, argc, argv};
  return plenwick::runLauncher(launch);
}

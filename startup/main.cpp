// The launcher's entry function: the same on every platform.
#include "config/launch_config_block.h"
#include "platform/platform.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
  return plenwick::runLauncher(plenwick::systemPlatform(), plenwick::launchConfig, argc, argv);
}

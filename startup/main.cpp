// The launcher's entry function: the same on every platform.
#include "config/launch_config_block.h"
#include "jvm/launch_jvm.h"
#include "platform/platform.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
  void (*const startJava)() = plenwick::launchJvm;
  return plenwick::runLauncher(plenwick::systemPlatform(), plenwick::launchConfig, argc, argv,
                               startJava);
}

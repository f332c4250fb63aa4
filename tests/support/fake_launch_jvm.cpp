// launchJvm for the unit tests, which have no JVM: it records what Java would
// start from ("java <main class> <last argument>") and ends the process, as
// the real one does on every path.
#include "jvm/launch_jvm.h"
#include "tests/support/fake_platform.h"

namespace plenwick {

void launchJvm(JavaLaunch& launch) {
  auto& platform = dynamic_cast<FakePlatform&>(launch.platform);
  platform.log.push_back("java " + launch.config.mainClass + " " + launch.argv[launch.argc - 1]);
  platform.exitProcess(0);
}

}  // namespace plenwick

#include "jvm/java_launch.h"

namespace plenwick {

int processArgc = 0;
char** processArgv = nullptr;

}  // namespace plenwick

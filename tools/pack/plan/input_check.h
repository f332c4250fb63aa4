// Checks of the target, the runtime and the files an image is made from.
#pragma once

#include "tools/pack/plan/planner.h"

namespace plenwick {

// The target and the runtime ('jdk' or 'runtime', and 'modules'); plans
// which runtime the image gets, the default JDK when none is named.
bool checkRuntime(Planner& check);

// The icons, the launcher, plenwick-bootstrap.jar (with their defaults) and
// the output, which may neither hold nor lie in anything the image is made from.
bool checkFiles(Planner& check);

}  // namespace plenwick

// From what the user wrote to what the run will build: checks the settings
// as a whole, against each other and the file system, and derives the plan.
#pragma once

#include <string>

#include "tools/pack/app/app_settings.h"
#include "tools/pack/plan/image_plan.h"

namespace plenwick {

// Fills *plan from `settings`. Reads the disk to check what is named (and
// the manifest of the main jar), and writes nothing. Returns false with a
// message naming the key and where it was given.
bool planImage(const AppSettings& settings, ImagePlan* plan, std::string* err);

}  // namespace plenwick

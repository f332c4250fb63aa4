// The file associations of the settings, checked before anything is built:
// by the image plan, and by `installer --image`, which makes no plan.
#pragma once

#include <string>

#include "tools/pack/app/app_settings.h"

namespace plenwick {

// Each entry's text (see fileAssociationsProblem), and that each icon is a PNG
// that makes the type's icons.
bool checkFileAssociations(const AppSettings& settings, std::string* err);

}  // namespace plenwick

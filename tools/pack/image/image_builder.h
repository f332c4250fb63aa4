// Builds an application image from its plan: the runtime, app/, the packed
// launcher (after an AppCDS training run when planned), the signature, and
// the marker last; then puts it in place of the output.
#pragma once

#include <string>

#include "tools/pack/files/replace.h"
#include "tools/pack/host/reporter.h"
#include "tools/pack/plan/image_plan.h"

namespace plenwick {

// Builds the whole image, marker last, at staging.imagePath().
bool buildImage(const ImagePlan& plan, Staging& staging, Reporter& reporter, std::string* err);

// Puts the image built in `staging` in place of plan.output.
bool publishImage(const ImagePlan& plan, Staging& staging, std::string* err);

// Stages, builds and publishes: the output is replaced only by a complete image.
bool makeImage(const ImagePlan& plan, Reporter& reporter, std::string* err);

}  // namespace plenwick

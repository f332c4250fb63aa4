// The runtime inside an application image: made with jlink (with the default
// CDS archive) or copied from a prepared runtime directory.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/files/replace.h"
#include "tools/pack/host/reporter.h"
#include "tools/pack/runtime/runtime_source.h"

namespace plenwick {

// Makes the runtime at staging.imagePath() (which must not exist yet); jdeps
// reads `jars` when the modules are not given. Reports what it does.
bool makeRuntime(const RuntimeSource& source, const std::vector<std::string>& jars,
                 Staging& staging, Reporter& reporter, std::string* err);

}  // namespace plenwick

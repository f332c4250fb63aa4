// The modules a runtime made with jlink must hold.
#pragma once

#include <string>
#include <vector>

#include "tools/pack/host/reporter.h"
#include "tools/pack/runtime/runtime_source.h"

namespace plenwick {

// The comma-separated modules for jlink: c.modules when given, else what
// the JDK's jdeps finds `jars` need; then those of runtimeModules().
bool findModules(const RuntimeSource& c, const std::vector<std::string>& jars, Reporter& reporter,
                 std::string& modules, std::string* err);

}  // namespace plenwick

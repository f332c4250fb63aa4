// Which modules jlink puts into the runtime, from what jdeps found (or
// 'modules'), what the user adds, and the service providers a desktop
// application needs that jdeps cannot see.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tools/pack/runtime/runtime_source.h"

namespace plenwick {

struct ModuleList {
  std::vector<std::string> modules;   // for jlink's --add-modules, each once
  std::vector<std::string> defaults;  // the default providers among them
};

// `found`, then c.addModules, then (unless c.defaultModules is off) the
// default providers that the JDK holds (`available`, from its release file);
// jdk.localedata also when c.locales names some.
ModuleList runtimeModules(const RuntimeSource& c, const std::vector<std::string>& found,
                          const std::set<std::string>& available);

}  // namespace plenwick

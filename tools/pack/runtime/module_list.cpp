#include "tools/pack/runtime/module_list.h"

#include <algorithm>

namespace plenwick {
namespace {

// Looked up through ServiceLoader or by name at run time, so jdeps never
// reports them; an image without them fails only on the user's machine:
// TLS to most servers (elliptic curves are their own module up to JDK 21),
// dates and numbers in other locales than English, the charsets outside
// java.base, and zip file systems.
constexpr const char* kDefaultProviders[] = {"jdk.crypto.ec", "jdk.localedata", "jdk.charsets",
                                             "jdk.zipfs"};

void addOnce(std::vector<std::string>& modules, const std::string& name) {
  if (std::find(modules.begin(), modules.end(), name) == modules.end()) modules.push_back(name);
}

}  // namespace

ModuleList runtimeModules(const RuntimeSource& c, const std::vector<std::string>& found,
                          const std::set<std::string>& available) {
  ModuleList list;
  for (const std::string& name : found) addOnce(list.modules, name);
  for (const std::string& name : c.addModules) addOnce(list.modules, name);
  for (const char* name : kDefaultProviders) {
    const bool wanted =
        c.defaultModules || (!c.locales.empty() && name == std::string("jdk.localedata"));
    if (!wanted || available.count(name) == 0 ||
        std::count(list.modules.begin(), list.modules.end(), name) != 0) {
      continue;
    }
    list.modules.push_back(name);
    list.defaults.push_back(name);
  }
  return list;
}

}  // namespace plenwick

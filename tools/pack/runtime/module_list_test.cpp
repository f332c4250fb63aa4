#include "tools/pack/runtime/module_list.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

using Names = std::vector<std::string>;

TEST(RuntimeModules, FoundAddedAndDefaultsTheJdkHas) {
  const std::set<std::string> jdk17 = {"java.base",      "java.sql",     "jdk.crypto.ec",
                                       "jdk.localedata", "jdk.charsets", "jdk.zipfs"};
  const std::set<std::string> noEc = {"java.base", "jdk.localedata", "jdk.charsets", "jdk.zipfs"};
  const struct {
    Names added;
    bool defaults;
    Names locales;
    std::set<std::string> available;
    Names modules;
    Names taken;
  } cases[] = {
      {{},
       true,
       {},
       jdk17,
       {"java.base", "java.desktop", "jdk.crypto.ec", "jdk.localedata", "jdk.charsets",
        "jdk.zipfs"},
       {"jdk.crypto.ec", "jdk.localedata", "jdk.charsets", "jdk.zipfs"}},
      {{"java.sql", "java.base", "jdk.zipfs"},
       true,
       {},
       noEc,
       {"java.base", "java.desktop", "java.sql", "jdk.zipfs", "jdk.localedata", "jdk.charsets"},
       {"jdk.localedata", "jdk.charsets"}},
      {{"java.sql"}, false, {}, jdk17, {"java.base", "java.desktop", "java.sql"}, {}},
      {{},
       false,
       {"de"},
       jdk17,
       {"java.base", "java.desktop", "jdk.localedata"},
       {"jdk.localedata"}},
      {{}, true, {}, {}, {"java.base", "java.desktop"}, {}},
  };
  for (const auto& c : cases) {
    RuntimeSource source;
    source.addModules = c.added;
    source.defaultModules = c.defaults;
    source.locales = c.locales;
    const ModuleList list = runtimeModules(source, {"java.base", "java.desktop"}, c.available);
    EXPECT_EQ(list.modules, c.modules);
    EXPECT_EQ(list.defaults, c.taken);
  }
}

}  // namespace
}  // namespace plenwick

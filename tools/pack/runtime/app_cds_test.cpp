#include "tools/pack/runtime/app_cds.h"

#include <gtest/gtest.h>

#include <cstring>

namespace plenwick {
namespace {

TEST(ChooseAppCds, AppCachesOnlyWhenAskedAndWhereTheySurviveAMove) {
  const struct {
    bool windows;
    std::optional<bool> requested;
    int feature;
    ClassCache cache;
    const char* note;
    const char* folder = "";
  } cases[] = {
      {false, true, 17, ClassCache::jdk, "AppCDS: dropped for runtime 17: it records"},
      {false, true, 0, ClassCache::none, "AppCDS: dropped for runtime 0"},
      {false, std::nullopt, 17, ClassCache::jdk, ""},
      {false, std::nullopt, 25, ClassCache::jdk, ""},
      {false, std::nullopt, 11, ClassCache::none, ""},
      {true, std::nullopt, 25, ClassCache::none, ""},
      {false, true, 19, ClassCache::appCds, ""},
      {false, true, 24, ClassCache::appCds, ""},
      {false, true, 25, ClassCache::aot, ""},
      {false, false, 25, ClassCache::none, ""},
      {true, true, 25, ClassCache::none, ""},
      {false, true, 25, ClassCache::jdk, "class cache: the class path holds the folder app/dist",
       "dist"},
      {false, true, 21, ClassCache::jdk, "class cache: the class path holds the folder", "dist"},
      {false, std::nullopt, 25, ClassCache::jdk, "", "dist"},
  };
  for (const auto& c : cases) {
    const AppCdsChoice choice = chooseAppCds(c.windows, c.requested, c.feature, c.folder);
    EXPECT_EQ(choice.cache, c.cache) << c.feature;
    EXPECT_EQ(choice.note.substr(0, std::strlen(c.note)), c.note);
    EXPECT_EQ(choice.note.empty(), *c.note == '\0') << choice.note;
  }
}

TEST(AppCacheCaveat, NamesTheFaultsOfTheRuntimeThatMakesTheCache) {
  const struct {
    ClassCache cache;
    const char* version;
    bool codeSource;
    bool stale;
  } cases[] = {
      {ClassCache::aot, "25.0.3", true, true},     {ClassCache::aot, "25", true, true},
      {ClassCache::aot, "25.0.4", true, false},    {ClassCache::aot, "26.0.1", true, false},
      {ClassCache::appCds, "21.0.5", true, false}, {ClassCache::jdk, "25.0.3", false, false},
      {ClassCache::none, "25.0.3", false, false},  {ClassCache::aot, "", true, false},
  };
  for (const auto& c : cases) {
    const std::string caveat = appCacheCaveat(c.cache, c.version);
    EXPECT_EQ(caveat.find("no code source") != std::string::npos, c.codeSource) << c.version;
    EXPECT_EQ(caveat.find("changed after packing") != std::string::npos, c.stale) << c.version;
  }
}

}  // namespace
}  // namespace plenwick

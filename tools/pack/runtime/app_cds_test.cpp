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
  };
  for (const auto& c : cases) {
    const AppCdsChoice choice = chooseAppCds(c.windows, c.requested, c.feature);
    EXPECT_EQ(choice.cache, c.cache) << c.feature;
    EXPECT_EQ(choice.note.substr(0, std::strlen(c.note)), c.note);
    EXPECT_EQ(choice.note.empty(), *c.note == '\0') << choice.note;
  }
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/runtime/app_cds.h"

#include <gtest/gtest.h>

#include <cstring>

namespace plenwick {
namespace {

TEST(ChooseAppCds, OnlyWhereTheArchiveSurvivesAMove) {
  const struct {
    bool windows;
    std::optional<bool> requested;
    int feature;
    bool on;
    const char* note;
  } cases[] = {
      {false, std::nullopt, 17, false, "AppCDS: off for runtime 17: it records"},
      {false, true, 17, false, "AppCDS: dropped for runtime 17"},
      {false, std::nullopt, 0, false, "AppCDS: off for runtime 0"},
      {false, std::nullopt, 19, true, ""},
      {false, false, 25, false, ""},
      {true, std::nullopt, 25, false, ""},
  };
  for (const auto& c : cases) {
    const AppCdsChoice choice = chooseAppCds(c.windows, c.requested, c.feature);
    EXPECT_EQ(choice.on, c.on) << c.feature;
    EXPECT_EQ(choice.note.substr(0, std::strlen(c.note)), c.note);
    EXPECT_EQ(choice.note.empty(), *c.note == '\0') << choice.note;
  }
}

}  // namespace
}  // namespace plenwick

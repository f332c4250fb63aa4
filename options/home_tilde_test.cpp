#include "options/home_tilde.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

// `option` with "~/" expanded, the conventions' own variable holding `profile`
// (null: unset) and the other platform's holding something else.
std::string expanded(std::string option, const PathConventions& conventions, const char* profile) {
  expandHomeTilde(option, conventions, [&](const char* name) -> const char* {
    return std::string(name) == conventions.profileVariable ? profile : "/wrong";
  });
  return option;
}

// Windows: USERPROFILE=\h; POSIX: HOME=/h.
TEST(HomeTilde, BothConventions) {
  const test_support::BothForms cases[] = {
      {"-Dx=~/data", "-Dx=\\h\\data"},
      {"-Djava.class.path=a.jar;~/b.jar;~/c.jar", "-Djava.class.path=a.jar;\\h\\b.jar;\\h\\c.jar"},
      {"~/x", "\\h\\x"},
      {"-Dx=~/~/", "-Dx=\\h\\~/"},
      {"-Dx=~/=~/", "-Dx=\\h\\=\\h\\"},
      {"-Dx=~", "-Dx=~"},
      {"-Dx=~user/a", "-Dx=~user/a"},
      {"-Xbootclasspath/a:~/x", "-Xbootclasspath/a:~/x", nullptr, "-Xbootclasspath/a:/h/x"},
      {"-Dx=a;~/b", "-Dx=a;\\h\\b", "-Dx=a;~/b", "-Dx=a;~/b"},
      {"-Dx=a ~/b", "-Dx=a ~/b"},
      {"x~/y", "x~/y"},
      {"-Dx=~/a;~/b;~/c=~/d", "-Dx=\\h\\a;\\h\\b;\\h\\c=\\h\\d"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    EXPECT_EQ(expanded(c.option, kWindowsConventions, "\\h"), c.expected);
    EXPECT_EQ(expanded(c.posix(), kPosixConventions, "/h"), c.posixResult());
    EXPECT_EQ(expanded(c.option, kWindowsConventions, nullptr), c.option) << "unset profile";
  }
}

TEST(HomeTilde, SpecialProfiles) {
  const struct {
    const PathConventions& conventions;
    const char* profile;
    const char* option;
    const char* expected;
  } cases[] = {
      {kWindowsConventions, "", "-Dx=~/a", "-Dx=~/a"},  // empty: only a leading "~/"
      {kWindowsConventions, "", "a;~/b", "a;~/b"},
      {kWindowsConventions, "", "~/a", "\\a"},
      {kPosixConventions, "", "~/a", "/a"},
      // The search resumes after the inserted profile...
      {kWindowsConventions, "C:\\h=~/q", "-Dx=~/a", "-Dx=C:\\h=~/q\\a"},
      {kWindowsConventions, "C:\\h;~/q", "a;~/b", "a;C:\\h;~/q\\b"},
      // ...but the list pass runs after the value pass and sees what it inserted.
      {kWindowsConventions, "C:\\h;~/q", "-Dx=~/a", "-Dx=C:\\h;C:\\h;~/q\\q\\a"},
      {kPosixConventions, "/h:~/q", "-Dx=~/a", "-Dx=/h:/h:~/q/q/a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.profile) + " " + c.option);
    EXPECT_EQ(expanded(c.option, c.conventions, c.profile), c.expected);
  }
}

}  // namespace
}  // namespace plenwick

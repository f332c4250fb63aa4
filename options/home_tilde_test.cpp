#include "options/home_tilde.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

// The profile variable as the conventions name it, set to `profile` (or unset).
EnvironmentLookup profileLookup(const PathConventions& conventions,
                                const std::optional<std::string>& profile) {
  return [&conventions, profile](const char* name) -> const char* {
    if (std::string(name) != conventions.profileVariable || !profile) return nullptr;
    return profile->c_str();
  };
}

std::string expanded(std::string option, const PathConventions& conventions,
                     const std::optional<std::string>& profile) {
  expandHomeTilde(option, conventions, profileLookup(conventions, profile));
  return option;
}

// Windows: USERPROFILE=C:\Users\u; POSIX: HOME=/home/u.
const test_support::BothForms kTildeCases[] = {
    {"property value",
     {"-Dx=~/data", "-Dx=C:\\Users\\u\\data"},
     {"-Dx=~/data", "-Dx=/home/u/data"}},
    {"list entries",
     {"-Djava.class.path=a.jar;~/b.jar;~/c.jar",
      "-Djava.class.path=a.jar;C:\\Users\\u\\b.jar;C:\\Users\\u\\c.jar"},
     {"-Djava.class.path=a.jar:~/b.jar:~/c.jar",
      "-Djava.class.path=a.jar:/home/u/b.jar:/home/u/c.jar"}},
    {"every equals sign qualifies",
     {"-Dk=v=~/p", "-Dk=v=C:\\Users\\u\\p"},
     {"-Dk=v=~/p", "-Dk=v=/home/u/p"}},
    {"leading", {"~/x", "C:\\Users\\u\\x"}, {"~/x", "/home/u/x"}},
    {"second tilde has no marker",
     {"-Dx=~/~/", "-Dx=C:\\Users\\u\\~/"},
     {"-Dx=~/~/", "-Dx=/home/u/~/"}},
    {"tilde without slash", {"-Dx=~", "-Dx=~"}, {"-Dx=~", "-Dx=~"}},
    {"named home", {"-Dx=~user/a", "-Dx=~user/a"}, {"-Dx=~user/a", "-Dx=~user/a"}},
    {"after a colon: a list entry only on POSIX",
     {"-Xbootclasspath/a:~/x", "-Xbootclasspath/a:~/x"},
     {"-Xbootclasspath/a:~/x", "-Xbootclasspath/a:/home/u/x"}},
    {"after a semicolon: a list entry only on Windows",
     {"-Dx=a;~/b", "-Dx=a;C:\\Users\\u\\b"},
     {"-Dx=a;~/b", "-Dx=a;~/b"}},
    {"after a blank", {"-Dx=a ~/b", "-Dx=a ~/b"}, {"-Dx=a ~/b", "-Dx=a ~/b"}},
    {"inside a word", {"x~/y", "x~/y"}, {"x~/y", "x~/y"}},
    {"many matches",
     {"-Dx=~/a;~/b;~/c=~/d", "-Dx=C:\\Users\\u\\a;C:\\Users\\u\\b;C:\\Users\\u\\c=C:\\Users\\u\\d"},
     {"-Dx=~/a:~/b:~/c=~/d", "-Dx=/home/u/a:/home/u/b:/home/u/c=/home/u/d"}},
};

TEST(HomeTilde, BothConventions) {
  for (const test_support::BothForms& c : kTildeCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(expanded(c.windows.option, kWindowsConventions, "C:\\Users\\u"), c.windows.expected);
    EXPECT_EQ(expanded(c.posix.option, kPosixConventions, "/home/u"), c.posix.expected);
  }
}

TEST(HomeTilde, UnsetProfileChangesNothing) {
  for (const test_support::BothForms& c : kTildeCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(expanded(c.windows.option, kWindowsConventions, std::nullopt), c.windows.option);
    EXPECT_EQ(expanded(c.posix.option, kPosixConventions, std::nullopt), c.posix.option);
  }
}

// The conventions' own variable is read: the other platform's is ignored.
TEST(HomeTilde, ReadsOnlyTheConventionsVariable) {
  const EnvironmentLookup wrongVariable = [](const char* name) -> const char* {
    return std::string(name) == "HOME" ? "/home/u" : nullptr;
  };
  std::string option = "-Dx=~/a";
  expandHomeTilde(option, kWindowsConventions, wrongVariable);
  EXPECT_EQ(option, "-Dx=~/a");
}

TEST(HomeTilde, SpecialProfiles) {
  const struct {
    const char* name;
    const PathConventions& conventions;
    const char* profile;
    const char* option;
    const char* expected;
  } cases[] = {
      {"empty profile keeps the value form", kWindowsConventions, "", "-Dx=~/a", "-Dx=~/a"},
      {"empty profile keeps the list form", kWindowsConventions, "", "a;~/b", "a;~/b"},
      {"empty profile still rewrites a leading tilde", kWindowsConventions, "", "~/a", "\\a"},
      {"posix empty profile still rewrites a leading tilde", kPosixConventions, "", "~/a", "/a"},
      {"profile holding =~/ is not expanded again", kWindowsConventions, "C:\\h=~/q", "-Dx=~/a",
       "-Dx=C:\\h=~/q\\a"},
      {"profile holding ;~/ is not expanded again by its pass", kWindowsConventions, "C:\\h;~/q",
       "a;~/b", "a;C:\\h;~/q\\b"},
      {"the list pass expands a ;~/ that the value pass inserted", kWindowsConventions, "C:\\h;~/q",
       "-Dx=~/a", "-Dx=C:\\h;C:\\h;~/q\\q\\a"},
      {"posix list pass after the value pass", kPosixConventions, "/h:~/q", "-Dx=~/a",
       "-Dx=/h:/h:~/q/q/a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(expanded(c.option, c.conventions, c.profile), c.expected);
  }
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/content/glob.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(Glob, MatchesWholePathsPartByPart) {
  const struct {
    const char* glob;
    const char* path;
    bool matches;
  } cases[] = {
      {"doc", "doc", true},
      {"doc", "doc2", false},
      {"doc", "lib/doc", false},  // from app/ itself, not at any depth
      {"*.sh", "run.sh", true},
      {"*.sh", "bin/run.sh", false},  // `*` stays within one part
      {"*", "a/b", false},
      {"a*b*c", "aXbYbZc", true},  // a later `*` takes what an earlier one left
      {"a*b*c", "aXbYbZ", false},
      {"lib/?.jar", "lib/a.jar", true},
      {"lib/?.jar", "lib/ab.jar", false},
      {"?", "/", false},
      {"**", "a/b/c", true},
      {"**/*.txt", "a.txt", true},  // `**` stands for no part too
      {"**/*.txt", "a/b/c.txt", true},
      {"doc/**", "doc", true},
      {"a/**/b", "a/b", true},
      {"a/**/b", "a/x/y/b", true},
      {"a/**/b", "a/x/y/c", false},
      {"a**b", "aXXb", true},  // not a part of its own: two stars
      {"a**b", "a/b", false},
      {"[a].txt", "[a].txt", true},  // brackets are plain characters
      {"[a].txt", "a.txt", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(globMatches(c.glob, c.path), c.matches) << c.glob << " against " << c.path;
  }
}

// Patterns that take exponential time in a backtracking matcher.
TEST(Glob, HardPatternsAreQuick) {
  const std::string name(2000, 'a');
  EXPECT_FALSE(globMatches("*a*a*a*a*a*a*a*a*a*b", name));
  std::string deep, globs;
  for (int i = 0; i < 300; ++i) deep += "a/";
  for (int i = 0; i < 30; ++i) globs += "**/";
  EXPECT_FALSE(globMatches(globs + "b", deep + "a"));
  EXPECT_TRUE(globMatches(globs + "a", deep + "a"));
}

}  // namespace
}  // namespace plenwick

#include "options/class_path_wildcards.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

using test_support::posixPath;

// The listings for each Windows pattern and its POSIX form.
FakeDirectorySearch search(const PathConventions& conventions) {
  const FakeDirectorySearch::Listings windows = {
      {"\\App\\lib\\*.jar", {"a.jar", "b.jar"}},
      {"\\App\\lib\\*", {"./", "../", "a.jar", "b.jar", "notes.txt", "old/"}},
      {"lib\\*", {"a.jar", "sub/"}},
      {"x*.jar", {"x1.jar"}},
      {"*.jar", {"a.jar"}},
      {"lib\\*.zip", {"a.zip"}},
      {"\\*.jar", {"a.jar"}},
      {"*", {"./", "../", "a.jar", "notes.txt"}},
      {"a b*", {"a b.jar"}},
      {"lib\\old*", {"old/", "older/"}},
      {"lib\\order*.jar", {"b.jar", "a.jar"}},
      {"l*b\\a.jar", {"a.jar"}},
  };
  FakeDirectorySearch::Listings listings = {{"a\\b/c*", {"c1"}}, {"a/b\\c*", {"c1"}}};
  for (const auto& [pattern, names] : windows) {
    listings[conventions.separator == '\\' ? pattern : posixPath(pattern)] = names;
  }
  return FakeDirectorySearch(listings);
}

TEST(ClassPathWildcards, BothConventions) {
  const test_support::BothForms cases[] = {
      {"-Djava.class.path=\\App\\main.jar;\\App\\lib\\*.jar;;\\App\\lib\\*;\\Gone\\*;",
       "-Djava.class.path=\\App\\main.jar;\\App\\lib\\a.jar;\\App\\lib\\b.jar;;"
       "\\App\\lib\\a.jar;\\App\\lib\\b.jar;\\App\\lib\\notes.txt;\\Gone\\*"},
      {"-cp ;a.jar", "-cp a.jar"},
      {"-cp a.jar;", "-cp a.jar"},
      {"-cp a.jar;;", "-cp a.jar;"},
      {"-cp a.jar;;b.jar", "-cp a.jar;;b.jar"},
      {"-Djava.class.path=;;;", "-Djava.class.path="},
      {"-cp *.jar", "-cp *.jar"},  // a name: only a longer entry ending in *.jar is a wildcard
      {"-cp lib\\*.zip", "-cp lib\\*.zip"},
      {"-cp x*.jar", "-cp ./x1.jar"},
      {"-cp \\*.jar", "-cp \\a.jar"},
      {"-cp *", "-cp ./a.jar;./notes.txt"},
      {"-cp l*b\\a.jar", "-cp l*b\\a.jar"},
      {"-cp a\\b/c*", "-cp a\\b/c1", "-cp a\\b/c*", "-cp a\\b/c1"},  // the later "/" ends it
      {"-cp a/b\\c*", "-cp a/b\\c1", "-cp a/b\\c*", "-cp a/c1"},     // "\" only on Windows
      {"-cp lib\\*", "-cp lib\\a.jar"},
      {"-cp x.jar;lib\\old*;y.jar", "-cp x.jar;lib\\old*;y.jar"},
      {"-cp lib\\order*.jar", "-cp lib\\b.jar;lib\\a.jar"},
      {"-cp a b*;c d.jar", "-cp ./a b.jar;c d.jar"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    std::string windows = c.option;
    FakeDirectorySearch windowsSearch = search(kWindowsConventions);
    expandClassPathWildcards(windows, kWindowsConventions, windowsSearch);
    EXPECT_EQ(windows, c.expected);
    std::string posix = c.posix();
    FakeDirectorySearch posixSearch = search(kPosixConventions);
    expandClassPathWildcards(posix, kPosixConventions, posixSearch);
    EXPECT_EQ(posix, c.posixResult());
  }
}

}  // namespace
}  // namespace plenwick

#include "options/class_path_wildcards.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

using test_support::FakeDirectorySearch;

const FakeDirectorySearch::Record kDot{".", true};
const FakeDirectorySearch::Record kDotDot{"..", true};

// What the scripted search finds, for Windows and POSIX patterns alike.
FakeDirectorySearch::Listings listings() {
  return {
      {"C:\\App\\lib\\*.jar", {{"a.jar", false}, {"b.jar", false}}},
      {"C:\\App\\lib\\*",
       {kDot, kDotDot, {"a.jar", false}, {"b.jar", false}, {"notes.txt", false}, {"old", true}}},
      {"/App/lib/*.jar", {{"a.jar", false}, {"b.jar", false}}},
      {"/App/lib/*",
       {kDot, kDotDot, {"a.jar", false}, {"b.jar", false}, {"notes.txt", false}, {"old", true}}},
      {"lib\\*", {{"a.jar", false}, {"sub", true}}},
      {"lib/*", {{"a.jar", false}, {"sub", true}}},
      {"lib\\*.jar", {{"a.jar", false}}},
      {"lib/*.jar", {{"a.jar", false}}},
      {"x*.jar", {{"x1.jar", false}}},
      {"\\*.jar", {{"a.jar", false}}},
      {"/*.jar", {{"a.jar", false}}},
      {"*", {kDot, kDotDot, {"a.jar", false}, {"notes.txt", false}}},
      {"a\\b/c*", {{"c1", false}}},
      {"a/b\\c*", {{"c1", false}}},  // POSIX: the name pattern is "b\c*"
      {"a b*", {{"a b.jar", false}}},
      {"lib\\old*", {{"old", true}, {"older", true}}},
      {"lib/old*", {{"old", true}, {"older", true}}},
      {"lib\\order*.jar", {{"b.jar", false}, {"a.jar", false}}},
      {"lib/order*.jar", {{"b.jar", false}, {"a.jar", false}}},
      {"l*b\\a.jar", {{"a.jar", false}}},
      {"l*b/a.jar", {{"a.jar", false}}},
  };
}

const test_support::BothForms kWildcardCases[] = {
    {"worked example",
     {"-Djava.class.path=C:\\App\\main.jar;C:\\App\\lib\\*.jar;;C:\\App\\lib\\*;C:\\Gone\\*;",
      "-Djava.class.path=C:\\App\\main.jar;C:\\App\\lib\\a.jar;C:\\App\\lib\\b.jar;;"
      "C:\\App\\lib\\a.jar;C:\\App\\lib\\b.jar;C:\\App\\lib\\notes.txt;C:\\Gone\\*"},
     {"-Djava.class.path=/App/main.jar:/App/lib/*.jar::/App/lib/*:/Gone/*:",
      "-Djava.class.path=/App/main.jar:/App/lib/a.jar:/App/lib/b.jar::"
      "/App/lib/a.jar:/App/lib/b.jar:/App/lib/notes.txt:/Gone/*"}},
    {"no prefix: untouched",
     {"-Djava.library.path=;a;lib\\*;;", "-Djava.library.path=;a;lib\\*;;"},
     {"-Djava.library.path=:a:lib/*::", "-Djava.library.path=:a:lib/*::"}},
    {"no wildcard", {"-cp a.jar;b.jar", "-cp a.jar;b.jar"}, {"-cp a.jar:b.jar", "-cp a.jar:b.jar"}},
    {"leading separator dropped", {"-cp ;a.jar", "-cp a.jar"}, {"-cp :a.jar", "-cp a.jar"}},
    {"one trailing separator dropped", {"-cp a.jar;", "-cp a.jar"}, {"-cp a.jar:", "-cp a.jar"}},
    {"only one trailing separator dropped",
     {"-cp a.jar;;", "-cp a.jar;"},
     {"-cp a.jar::", "-cp a.jar:"}},
    {"inner empty entry kept",
     {"-cp a.jar;;b.jar", "-cp a.jar;;b.jar"},
     {"-cp a.jar::b.jar", "-cp a.jar::b.jar"}},
    {"only separators",
     {"-Djava.class.path=;;;", "-Djava.class.path="},
     {"-Djava.class.path=:::", "-Djava.class.path="}},
    {"*.jar alone is an ordinary entry", {"-cp *.jar", "-cp *.jar"}, {"-cp *.jar", "-cp *.jar"}},
    {"x*.jar, without directory", {"-cp x*.jar", "-cp ./x1.jar"}, {"-cp x*.jar", "-cp ./x1.jar"}},
    {"directory wildcard",
     {"-cp lib\\*.jar", "-cp lib\\a.jar"},
     {"-cp lib/*.jar", "-cp lib/a.jar"}},
    {"root wildcard", {"-cp \\*.jar", "-cp \\a.jar"}, {"-cp /*.jar", "-cp /a.jar"}},
    {"lone star: current directory",
     {"-cp *", "-cp ./a.jar;./notes.txt"},
     {"-cp *", "-cp ./a.jar:./notes.txt"}},
    {"star inside a directory name",
     {"-cp l*b\\a.jar", "-cp l*b\\a.jar"},
     {"-cp l*b/a.jar", "-cp l*b/a.jar"}},
    {"star before another extension",
     {"-cp lib\\*.zip", "-cp lib\\*.zip"},
     {"-cp lib/*.zip", "-cp lib/*.zip"}},
    {"backslash then slash: the later one ends the directory",
     {"-cp a\\b/c*", "-cp a\\b/c1"},
     {"-cp a\\b/c*", "-cp a\\b/c1"}},
    {"slash then backslash: a separator only on Windows",
     {"-cp a/b\\c*", "-cp a/b\\c1"},
     {"-cp a/b\\c*", "-cp a/c1"}},
    {"subdirectories skipped", {"-cp lib\\*", "-cp lib\\a.jar"}, {"-cp lib/*", "-cp lib/a.jar"}},
    {"only directories: kept as written",
     {"-cp x.jar;lib\\old*;y.jar", "-cp x.jar;lib\\old*;y.jar"},
     {"-cp x.jar:lib/old*:y.jar", "-cp x.jar:lib/old*:y.jar"}},
    {"search order kept",
     {"-cp lib\\order*.jar", "-cp lib\\b.jar;lib\\a.jar"},
     {"-cp lib/order*.jar", "-cp lib/b.jar:lib/a.jar"}},
    {"matched twice, listed twice",
     {"-cp lib\\*.jar;lib\\*.jar", "-cp lib\\a.jar;lib\\a.jar"},
     {"-cp lib/*.jar:lib/*.jar", "-cp lib/a.jar:lib/a.jar"}},
    {"blanks are part of entries",
     {"-cp a b*;c d.jar", "-cp ./a b.jar;c d.jar"},
     {"-cp a b*:c d.jar", "-cp ./a b.jar:c d.jar"}},
    {"prefix in the middle",
     {"-Dsun.java.command=Main x -cp lib\\*;;y z", "-Dsun.java.command=Main x -cp lib\\a.jar;;y z"},
     {"-Dsun.java.command=Main x -cp lib/*::y z", "-Dsun.java.command=Main x -cp lib/a.jar::y z"}},
};

std::string expanded(std::string option, const PathConventions& conventions) {
  FakeDirectorySearch search(listings());
  expandClassPathWildcards(option, conventions, search);
  return option;
}

TEST(ClassPathWildcards, BothConventions) {
  for (const test_support::BothForms& c : kWildcardCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(expanded(c.windows.option, kWindowsConventions), c.windows.expected);
    EXPECT_EQ(expanded(c.posix.option, kPosixConventions), c.posix.expected);
  }
}

}  // namespace
}  // namespace plenwick

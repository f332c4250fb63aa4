#include "options/class_path_wildcards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/test_support.h"

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
      {"*.jar", {{"a.jar", false}}},
      {"a\\b/c*", {{"c1", false}}},
      {"a/b\\c*", {{"c1", false}}},  // POSIX: the name pattern is "b\c*"
      {" lib\\*", {{"a.jar", false}}},
      {" lib/*", {{"a.jar", false}}},
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
    {"leading separators dropped", {"-cp ;;;a.jar", "-cp a.jar"}, {"-cp :::a.jar", "-cp a.jar"}},
    {"one trailing separator dropped", {"-cp a.jar;", "-cp a.jar"}, {"-cp a.jar:", "-cp a.jar"}},
    {"only one trailing separator dropped",
     {"-cp a.jar;;", "-cp a.jar;"},
     {"-cp a.jar::", "-cp a.jar:"}},
    {"inner empty entry kept",
     {"-cp a.jar;;b.jar", "-cp a.jar;;b.jar"},
     {"-cp a.jar::b.jar", "-cp a.jar::b.jar"}},
    {"empty value", {"-cp ", "-cp "}, {"-cp ", "-cp "}},
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
    {"star inside the file name",
     {"-cp lib\\a*b.jar", "-cp lib\\a*b.jar"},
     {"-cp lib/a*b.jar", "-cp lib/a*b.jar"}},
    {"star before another extension",
     {"-cp lib\\*.zip", "-cp lib\\*.zip"},
     {"-cp lib/*.zip", "-cp lib/*.zip"}},
    {"extension in other case",
     {"-cp lib\\*.JAR", "-cp lib\\*.JAR"},
     {"-cp lib/*.JAR", "-cp lib/*.JAR"}},
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
    {"nothing found, first entry",
     {"-cp C:\\Gone\\*;a", "-cp C:\\Gone\\*;a"},
     {"-cp /Gone/*:a", "-cp /Gone/*:a"}},
    {"search order kept",
     {"-cp lib\\order*.jar", "-cp lib\\b.jar;lib\\a.jar"},
     {"-cp lib/order*.jar", "-cp lib/b.jar:lib/a.jar"}},
    {"matched twice, listed twice",
     {"-cp lib\\*.jar;lib\\*.jar", "-cp lib\\a.jar;lib\\a.jar"},
     {"-cp lib/*.jar:lib/*.jar", "-cp lib/a.jar:lib/a.jar"}},
    {"class.path before -cp",
     {"-cp x*.jar;-Djava.class.path=lib\\*.jar", "-cp x*.jar;-Djava.class.path=lib\\a.jar"},
     {"-cp x*.jar:-Djava.class.path=lib/*.jar", "-cp x*.jar:-Djava.class.path=lib/a.jar"}},
    {"-cp before -classpath",
     {"-classpath x*.jar -cp lib\\*.jar", "-classpath x*.jar -cp lib\\a.jar"},
     {"-classpath x*.jar -cp lib/*.jar", "-classpath x*.jar -cp lib/a.jar"}},
    {"-classpath",
     {"-classpath lib\\*.jar", "-classpath lib\\a.jar"},
     {"-classpath lib/*.jar", "-classpath lib/a.jar"}},
    {"-cp needs its blank", {"-cpx;lib\\*", "-cpx;lib\\*"}, {"-cpx:lib/*", "-cpx:lib/*"}},
    {"-classpath needs its blank",
     {"-classpath=lib\\*", "-classpath=lib\\*"},
     {"-classpath=lib/*", "-classpath=lib/*"}},
    {"second blank starts the entry",
     {"-cp  lib\\*", "-cp  lib\\a.jar"},
     {"-cp  lib/*", "-cp  lib/a.jar"}},
    {"blanks are part of entries",
     {"-cp a b*;c d.jar", "-cp ./a b.jar;c d.jar"},
     {"-cp a b*:c d.jar", "-cp ./a b.jar:c d.jar"}},
    {"prefix in the middle",
     {"-Dsun.java.command=Main x -cp lib\\*;;y z", "-Dsun.java.command=Main x -cp lib\\a.jar;;y z"},
     {"-Dsun.java.command=Main x -cp lib/*::y z", "-Dsun.java.command=Main x -cp lib/a.jar::y z"}},
    {"prefix in the middle, split at separators only",
     {"-Dsun.java.command=Main -cp a b*", "-Dsun.java.command=Main -cp ./a b.jar"},
     {"-Dsun.java.command=Main -cp a b*", "-Dsun.java.command=Main -cp ./a b.jar"}},
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

// The search gets each wildcard entry whole, once, in class-path order, and
// nothing else.
TEST(ClassPathWildcards, SearchesWholeWildcardEntries) {
  const struct {
    const char* name;
    const PathConventions& conventions;
    const char* option;
    std::vector<std::string> patterns;
  } cases[] = {
      {"worked example",
       kWindowsConventions,
       "-Djava.class.path=C:\\App\\main.jar;C:\\App\\lib\\*.jar;;C:\\App\\lib\\*;C:\\Gone\\*;",
       {"C:\\App\\lib\\*.jar", "C:\\App\\lib\\*", "C:\\Gone\\*"}},
      {"no prefix", kWindowsConventions, "-Dx=lib\\*", {}},
      {"not wildcards", kWindowsConventions, "-cp *.jar;l*b\\a.jar;lib\\*.JAR;a*b.zip", {}},
      {"posix", kPosixConventions, "-cp a/b\\c*:x*.jar", {"a/b\\c*", "x*.jar"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDirectorySearch search(listings());
    std::string option = c.option;
    expandClassPathWildcards(option, c.conventions, search);
    EXPECT_EQ(search.patterns, c.patterns);
  }
}

}  // namespace
}  // namespace plenwick

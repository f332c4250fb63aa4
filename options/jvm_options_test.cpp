#include "options/jvm_options.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

using test_support::FakeDirectorySearch;

const char kWindowsAppDir[] = "C:\\A\\app\\";  // executable C:\A\B\x.exe
const char kPosixAppDir[] = "/A/app/";         // executable /A/B/x

using test_support::BothForms;

TEST(AppDirToken, ReplacedLeftToRight) {
  const BothForms cases[] = {
      {"property value",
       {"-Dapp.dir=&&", "-Dapp.dir=C:\\A\\app\\"},
       {"-Dapp.dir=&&", "-Dapp.dir=/A/app/"}},
      {"paths are not normalised",
       {"-Djava.library.path=&&;&&..\\bin", "-Djava.library.path=C:\\A\\app\\;C:\\A\\app\\..\\bin"},
       {"-Djava.library.path=&&:&&../bin", "-Djava.library.path=/A/app/:/A/app/../bin"}},
      {"doubled separator stays",
       {"&&\\y.jar", "C:\\A\\app\\\\y.jar"},
       {"&&/y.jar", "/A/app//y.jar"}},
      {"three ampersands", {"&&&", "C:\\A\\app\\&"}, {"&&&", "/A/app/&"}},
      {"four ampersands", {"&&&&", "C:\\A\\app\\C:\\A\\app\\"}, {"&&&&", "/A/app//A/app/"}},
      {"separated ampersands", {"&x&", "&x&"}, {"&x&", "&x&"}},
      {"no token", {"-Dx=~/a;b\\*", "-Dx=~/a;b\\*"}, {"-Dx=~/a:b/*", "-Dx=~/a:b/*"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string windows = c.windows.option;
    substituteAppDirToken(windows, kWindowsAppDir);
    EXPECT_EQ(windows, c.windows.expected);
    std::string posix = c.posix.option;
    substituteAppDirToken(posix, kPosixAppDir);
    EXPECT_EQ(posix, c.posix.expected);
  }
}

// An install root holding the token: the search resumes after each insertion.
TEST(AppDirToken, TokenInsideAppDirIsNotExpandedAgain) {
  const struct {
    const char* appDir;
    const char* option;
    const char* expected;
  } cases[] = {
      {"C:\\a&&b\\app\\", "-Dx=&&", "-Dx=C:\\a&&b\\app\\"},
      {"C:\\a&&b\\app\\", "&&&&", "C:\\a&&b\\app\\C:\\a&&b\\app\\"},
      {"/&&/app/", "&&:&&", "/&&/app/:/&&/app/"},
      {"&&", "&&&", "&&&"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    std::string option = c.option;
    substituteAppDirToken(option, c.appDir);
    EXPECT_EQ(option, c.expected);
  }
}

FakeDirectorySearch::Listings preparationListings() {
  return {{"C:\\A\\app\\\\lib\\*.jar", {{"a.jar", false}}},
          {"/A/app//lib/*.jar", {{"a.jar", false}}},
          {"C:\\Users\\u\\lib/*", {{"b.jar", false}}},
          {"/home/u/lib/*", {{"b.jar", false}}}};
}

// Each option goes through the token, then "~/", then wildcards. Windows:
// appDir C:\A\app\, USERPROFILE=C:\Users\u; POSIX: appDir /A/app/, HOME=/home/u.
const BothForms kPreparationCases[] = {
    {"class path entry below appDir",
     {"-Djava.class.path=&&\\lib\\*.jar", "-Djava.class.path=C:\\A\\app\\\\lib\\a.jar"},
     {"-Djava.class.path=&&/lib/*.jar", "-Djava.class.path=/A/app//lib/a.jar"}},
    {"class path entry below home",
     {"-cp x.jar;~/lib/*", "-cp x.jar;C:\\Users\\u\\lib/b.jar"},
     {"-cp x.jar:~/lib/*", "-cp x.jar:/home/u/lib/b.jar"}},
    {"token then home",
     {"-Dx=&&;~/a", "-Dx=C:\\A\\app\\;C:\\Users\\u\\a"},
     {"-Dx=&&:~/a", "-Dx=/A/app/:/home/u/a"}},
    {"command property",
     {"-Dsun.java.command=Main && -cp x;~/lib/*;;",
      "-Dsun.java.command=Main C:\\A\\app\\ -cp x;C:\\Users\\u\\lib/b.jar;"},
     {"-Dsun.java.command=Main && -cp x:~/lib/*::",
      "-Dsun.java.command=Main /A/app/ -cp x:/home/u/lib/b.jar:"}},
    {"nothing to do", {"-Xmx1g", "-Xmx1g"}, {"-Xmx1g", "-Xmx1g"}},
};

const char* profileOf(const PathConventions& conventions, const char* name) {
  if (std::string(name) != conventions.profileVariable) return nullptr;
  return conventions.separator == '\\' ? "C:\\Users\\u" : "/home/u";
}

std::string prepared(std::string option, const PathConventions& conventions, const char* appDir) {
  FakeDirectorySearch search(preparationListings());
  const OptionRewriting rewriting{
      conventions, appDir, [&](const char* name) { return profileOf(conventions, name); }, search};
  prepareJvmOption(option, rewriting);
  return option;
}

TEST(PrepareJvmOption, ThreeStepsInOrder) {
  for (const BothForms& c : kPreparationCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(prepared(c.windows.option, kWindowsConventions, kWindowsAppDir), c.windows.expected);
    EXPECT_EQ(prepared(c.posix.option, kPosixConventions, kPosixAppDir), c.posix.expected);
  }
}

FakePlatform platformFor(const PathConventions& conventions, std::string executable) {
  FakePlatform platform(conventions);
  platform.executable = std::move(executable);
  platform.search = FakeDirectorySearch(preparationListings());
  return platform;
}

// buildJvmOptions reads the environment and the executable's path, searches
// directories and writes the dump; any other effect on the platform is a fault.
void expectOnlyDump(const FakePlatform& platform) {
  for (const FakeEvent& event : platform.events) {
    EXPECT_EQ(event.kind, FakeEvent::Kind::StandardError) << event.first;
  }
}

TEST(BuildJvmOptions, DumpListsFinalOptionsWhateverTheValue) {
  for (const char* value : {"", "0", "yes"}) {
    SCOPED_TRACE(value);
    FakePlatform platform = platformFor(kWindowsConventions, "C:\\A\\B\\x.exe");
    platform.environment["PLENWICK_DUMP_JVM_ARGS"] = value;
    platform.environment["USERPROFILE"] = "C:\\Users\\u";
    std::vector<std::string> options = {"-XX:+DisableAttachMechanism", "-Dx=~/&&", "",
                                        "-Djava.class.path=&&\\lib\\*.jar",
                                        "-Dsun.java.command=Main a&&b"};
    JavaVMInitArgs args{};
    buildJvmOptions(platform, options, args);
    ASSERT_EQ(args.nOptions, 5);
    for (std::size_t i = 0; i < options.size(); ++i) {
      EXPECT_EQ(args.options[i].optionString, options[i].data());  // the final strings
      EXPECT_EQ(args.options[i].extraInfo, nullptr);
    }
    EXPECT_EQ(platform.standardError(),
              "JVM arg 0: -XX:+DisableAttachMechanism\n"
              "JVM arg 1: -Dx=C:\\Users\\u\\C:\\A\\app\\\n"
              "JVM arg 2: \n"
              "JVM arg 3: -Djava.class.path=C:\\A\\app\\\\lib\\a.jar\n"
              "JVM arg 4: -Dsun.java.command=Main aC:\\A\\app\\b\n");
    expectOnlyDump(platform);
    delete[] args.options;
  }
}

TEST(BuildJvmOptions, NoOptions) {
  FakePlatform platform = platformFor(kPosixConventions, "/A/B/x");
  platform.environment["PLENWICK_DUMP_JVM_ARGS"] = "1";
  std::vector<std::string> options;
  JavaVMInitArgs args{};
  buildJvmOptions(platform, options, args);
  EXPECT_EQ(args.nOptions, 0);
  EXPECT_EQ(platform.standardError(), "");
  expectOnlyDump(platform);
  delete[] args.options;
}

}  // namespace
}  // namespace plenwick

#include "options/jvm_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

using test_support::BothForms;

// The install's app directory: \A\app\ on Windows, /A/app/ on POSIX.
TEST(AppDirToken, ReplacedLeftToRight) {
  const BothForms cases[] = {
      {"-Dapp.dir=&&", "-Dapp.dir=\\A\\app\\"},
      {"-Djava.library.path=&&;&&..\\bin", "-Djava.library.path=\\A\\app\\;\\A\\app\\..\\bin"},
      {"&&\\y.jar", "\\A\\app\\\\y.jar"},
      {"&&&", "\\A\\app\\&"},
      {"&&&&", "\\A\\app\\\\A\\app\\"},
      {"&x&", "&x&"},
      {"-Dx=~/a;b\\*", "-Dx=~/a;b\\*"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    std::string windows = c.option;
    substituteAppDirToken(windows, "\\A\\app\\");
    EXPECT_EQ(windows, c.expected);
    std::string posix = c.posix();
    substituteAppDirToken(posix, "/A/app/");
    EXPECT_EQ(posix, c.posixResult());
  }
  // An app directory holding the token: the search resumes after each insertion.
  const char* const tokenInside[][3] = {{"C:\\a&&b\\app\\", "-Dx=&&", "-Dx=C:\\a&&b\\app\\"},
                                        {"/&&/", "&&&&", "/&&//&&/"},
                                        {"&&", "&&&", "&&&"}};
  for (const auto& c : tokenInside) {
    std::string option = c[1];
    substituteAppDirToken(option, c[0]);
    EXPECT_EQ(option, c[2]);
  }
}

// Each option goes through the token, then "~/", then wildcards. The profile
// is \U on Windows, /U on POSIX.
TEST(PrepareJvmOption, ThreeStepsInOrder) {
  const BothForms cases[] = {
      {"-Djava.class.path=&&\\lib\\*.jar", "-Djava.class.path=\\A\\app\\\\lib\\a.jar"},
      {"-cp x.jar;~/lib/*", "-cp x.jar;\\U\\lib/b.jar"},
      {"-Dx=&&;~/a", "-Dx=\\A\\app\\;\\U\\a"},
      {"-Dsun.java.command=Main && -cp x;~/lib/*;;",
       "-Dsun.java.command=Main \\A\\app\\ -cp x;\\U\\lib/b.jar;"},
      {"-Xmx1g", "-Xmx1g"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    for (const PathConventions* conventions : {&kWindowsConventions, &kPosixConventions}) {
      const bool windows = conventions == &kWindowsConventions;
      auto form = [&](const std::string& text) {
        return windows ? text : test_support::posixPath(text);
      };
      FakeDirectorySearch search(
          {{form("\\A\\app\\\\lib\\*.jar"), {"a.jar"}}, {form("\\U\\lib/*"), {"b.jar"}}});
      const std::string profile = form("\\U");
      std::string option = windows ? c.option : c.posix();
      prepareJvmOption(option, {*conventions, form("\\A\\app\\"),
                                [&](const char* name) {
                                  return name == std::string(conventions->profileVariable)
                                             ? profile.c_str()
                                             : nullptr;
                                },
                                search});
      EXPECT_EQ(option, windows ? std::string(c.expected) : c.posixResult());
    }
  }
}

// buildJvmOptions reads the environment and the executable's path, searches
// directories and writes the dump; any other effect on the platform is a fault.
TEST(BuildJvmOptions, DumpListsFinalOptionsWhateverTheValue) {
  for (const char* value : {"", "0", "yes"}) {
    SCOPED_TRACE(value);
    FakePlatform platform;
    platform.executable = "C:\\A\\B\\x.exe";
    platform.search =
        FakeDirectorySearch(FakeDirectorySearch::Listings{{"C:\\A\\app\\\\lib\\*.jar", {"a.jar"}}});
    platform.environment = {{"PLENWICK_DUMP_JVM_ARGS", value}, {"USERPROFILE", "C:\\U"}};
    std::vector<std::string> options = {"-XX:+DisableAttachMechanism", "-Dx=~/&&", "",
                                        "-Djava.class.path=&&\\lib\\*.jar"};
    JavaVMInitArgs args{};
    buildJvmOptions(platform, options, args);
    ASSERT_EQ(args.nOptions, 4);
    for (std::size_t i = 0; i < options.size(); ++i) {
      EXPECT_EQ(args.options[i].optionString, options[i].data());  // the final strings
      EXPECT_EQ(args.options[i].extraInfo, nullptr);
    }
    EXPECT_EQ(platform.standardError(),
              "JVM arg 0: -XX:+DisableAttachMechanism\nJVM arg 1: -Dx=C:\\U\\C:\\A\\app\\\n"
              "JVM arg 2: \nJVM arg 3: -Djava.class.path=C:\\A\\app\\\\lib\\a.jar\n");
    EXPECT_EQ(platform.log.size(), 4u) << "only the dump";
    delete[] args.options;
  }
  FakePlatform platform(kPosixConventions);
  platform.environment["PLENWICK_DUMP_JVM_ARGS"] = "1";
  std::vector<std::string> none;
  JavaVMInitArgs args{};
  buildJvmOptions(platform, none, args);
  EXPECT_EQ(args.nOptions, 0);
  EXPECT_TRUE(platform.log.empty());
  delete[] args.options;
}

}  // namespace
}  // namespace plenwick

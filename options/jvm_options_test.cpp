#include "options/jvm_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/example_options.h"

namespace plenwick {
namespace {

// The search resumes after each insertion.
TEST(AppDirToken, ReplacedLeftToRight) {
  const char* const cases[][3] = {
      {"C:\\A\\app\\", "-Dapp.dir=&&", "-Dapp.dir=C:\\A\\app\\"},
      {"/A/app/", "-Djava.library.path=&&:&&../bin", "-Djava.library.path=/A/app/:/A/app/../bin"},
      {"/A/app/", "&&&", "/A/app/&"},
      {"/A/app/", "&&&&", "/A/app//A/app/"},
      {"/A/app/", "&x&", "&x&"},
      {"C:\\a&&b\\app\\", "-Dx=&&", "-Dx=C:\\a&&b\\app\\"},
      {"/&&/", "&&&&", "/&&//&&/"},
      {"&&", "&&&", "&&&"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[1]);
    std::string option = c[1];
    substituteAppDirToken(option, c[0]);
    EXPECT_EQ(option, c[2]);
  }
}

// The token, then "~/", then wildcards.
TEST(PrepareJvmOption, ThreeStepsInOrder) {
  const char* const cases[][2] = {
      {"-Djava.class.path=&&\\lib\\*.jar", "-Djava.class.path=C:\\A\\app\\\\lib\\a.jar"},
      {"-Dx=&&;~/a", "-Dx=C:\\A\\app\\;C:\\U\\a"},
      {"-Dsun.java.command=Main && -cp x;~/lib/*;;",
       "-Dsun.java.command=Main C:\\A\\app\\ -cp x;C:\\U\\lib/b.jar;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    FakeDirectorySearch search(FakeDirectorySearch::Listings{
        {"C:\\A\\app\\\\lib\\*.jar", {"a.jar"}}, {"C:\\U\\lib/*", {"b.jar"}}});
    std::string option = c[0];
    prepareJvmOption(option, {kWindowsConventions, "C:\\A\\app\\",
                              [](const char* name) -> const char* {
                                return std::string(name) == "USERPROFILE" ? "C:\\U" : nullptr;
                              },
                              search});
    EXPECT_EQ(option, c[1]);
  }
}

// The dump is the only effect on the platform.
TEST(BuildJvmOptions, DumpListsFinalOptionsWhateverTheValue) {
  for (const char* value : {"", "0"}) {
    SCOPED_TRACE(value);
    FakePlatform platform;
    platform.executable = "C:\\A\\B\\x.exe";
    platform.search =
        FakeDirectorySearch(FakeDirectorySearch::Listings{{"C:\\A\\app\\\\lib\\*.jar", {"a.jar"}}});
    platform.environment = {{"PLENWICK_DUMP_JVM_ARGS", value}, {"USERPROFILE", "C:\\U"}};
    std::vector<std::string> options = {"-XX:+DisableAttachMechanism", "-Dx=~/&&", "",
                                        "-Djava.class.path=&&\\lib\\*.jar"};
    const JavaVMInitArgs args = buildJvmOptions(platform, options);
    ASSERT_EQ(args.nOptions, 4);
    for (std::size_t i = 0; i < options.size(); ++i) {
      EXPECT_EQ(args.options[i].optionString, options[i].data());
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
  const JavaVMInitArgs args = buildJvmOptions(platform, none);
  EXPECT_EQ(args.nOptions, 0);
  EXPECT_TRUE(platform.log.empty());
  delete[] args.options;
}

}  // namespace
}  // namespace plenwick

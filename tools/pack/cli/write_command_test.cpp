#include "tools/pack/cli/write_command.h"

#include <gtest/gtest.h>

#include "config/block_encoder.h"
#include "config/launch_config_block.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/show_command.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/launcher/launcher_file.h"

namespace plenwick {
namespace {

class PackFiles : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    // A stand-in executable: code bytes, the marked region, more bytes.
    const std::vector<unsigned char> region = unpackedRegion();
    original_.assign(100, '\xCC');
    original_.append(reinterpret_cast<const char*>(kRegionLocator), kRegionLocatorSize);
    original_.append(region.begin(), region.end());
    original_.append(50, '\xCC');
    put("launcher", original_);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::string original_;
};

TEST_F(PackFiles, WriteThenReadBack) {
  const int status = writeCommand(
      {"--launcher", path("launcher"), "--output", path("app"), "--main-class", "com.example.App",
       "--jvm-option", "-Xmx1g", "--jvm-option", "-Dapp.dir=&&", "--arg", "hello world",
       "--stack-size", "2M", "--console-app", "--package-appdata-vars"});
  ASSERT_EQ(status, kExitOk);
  EXPECT_EQ(readFile(path("launcher")), original_) << "the input must not change";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2) << "no staging left";

  LauncherFile image;
  std::string error;
  ASSERT_TRUE(readLauncher(path("app"), image, &error)) << error;
  LaunchConfig config;
  ASSERT_TRUE(
      decodeLaunchConfig(image.bytes.data() + image.regionOffset, kLaunchConfigBlockSize, config));
  EXPECT_EQ(describeConfig(config),
            "runOnCallingThread: false\nconsoleApp: true\nutf8Console: false\n"
            "reservedFlag3: false\npackageAppDataVars: true\nthreadStackSize: 2097152\n"
            "mainClass: com.example.App\njvmOptions (2):\n  [0] -Xmx1g\n  [1] -Dapp.dir=&&\n"
            "appArguments (1):\n  [0] hello world\n");
  EXPECT_EQ(describeConfigJson(config),
            R"({"appArguments":["hello world"],"consoleApp":true,"jvmOptions":["-Xmx1g",)"
            R"("-Dapp.dir=&&"],"mainClass":"com.example.App","packageAppDataVars":true,)"
            R"("reservedFlag3":false,"runOnCallingThread":false,"threadStackSize":2097152,)"
            R"("utf8Console":false})");

  std::string damaged = readFile(path("app"));
  damaged.replace(image.regionOffset, kLaunchConfigBlockSize, kLaunchConfigBlockSize, '\xFF');
  EXPECT_EQ(showCommand({put("damaged", damaged)}), kExitFailed);
}

TEST_F(PackFiles, RefusalsLeaveNoOutput) {
  auto with = [&](std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"--launcher", path("launcher"), "--output", path("out")});
    return extra;
  };
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {with({"--main-class", "M", "--frobnicate", "x"}), kExitUsage},
      {with({"--main-class", "M", "--stack-size", "lots"}), kExitUsage},
      {with({}), kExitUsage},
      {with({"--main-class", "M", "--launcher", path("nope")}), kExitFailed},
      {with({"--main-class", "M", "--output", path("no/dir/out")}), kExitFailed},
      {with({"--main-class", "M", "--output", path("launcher")}), kExitFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    EXPECT_EQ(writeCommand(c.args), c.status);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1)
        << "nothing but the launcher, no output or temporary file";
  }
  EXPECT_EQ(readFile(path("launcher")), original_);
}

}  // namespace
}  // namespace plenwick

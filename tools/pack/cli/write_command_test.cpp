#include "tools/pack/cli/write_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "config/block_encoder.h"
#include "config/launch_config_block.h"
#include "tools/pack/app/stack_size.h"
#include "tools/pack/cli/exit_codes.h"
#include "tools/pack/cli/show_command.h"
#include "tools/pack/files/replace.h"
#include "tools/pack/launcher/launcher_file.h"

namespace plenwick {
namespace {

TEST(ParseStackSize, SuffixesAndLimits) {
  const struct {
    const char* text;
    bool ok;
    uint32_t size;
  } cases[] = {
      {"0", true, 0},           {"1048576", true, 1048576},
      {"512K", true, 524288},   {"512k", true, 524288},
      {"2M", true, 2097152},    {"4095M", true, 4095u << 20},
      {"4096M", false, 0},      {"4294967295", true, 4294967295u},
      {"4294967296", false, 0}, {"", false, 0},
      {"M", false, 0},          {"-1", false, 0},
      {"2G", false, 0},         {"1.5M", false, 0},
      {" 2M", false, 0},        {"2MB", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    uint32_t size = 0;
    EXPECT_EQ(parseStackSize(c.text, size), c.ok);
    if (c.ok) {
      EXPECT_EQ(size, c.size);
    }
  }
}

std::vector<unsigned char> readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PackFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenwick-pack-test-XXXXXX";
    dir_ = mkdtemp(pattern);
    // A stand-in executable: some code bytes, the marked region, more bytes.
    const std::vector<unsigned char> region = unpackedRegion();
    std::vector<unsigned char> file(100 + kRegionLocatorSize + region.size() + 50, 0xCC);
    std::copy(kRegionLocator, kRegionLocator + kRegionLocatorSize, file.begin() + 100);
    std::copy(region.begin(), region.end(), file.begin() + 100 + kRegionLocatorSize);
    original_ = file;
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path("launcher"), file, 0777, &error)) << error;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
  std::vector<unsigned char> original_;
};

TEST_F(PackFiles, WriteThenReadBack) {
  const int status = writeCommand(
      {"--launcher", path("launcher"), "--output", path("app"), "--main-class", "com.example.App",
       "--jvm-option", "-Xmx1g", "--jvm-option", "-Dapp.dir=&&", "--arg", "hello world",
       "--stack-size", "2M", "--console-app", "--package-appdata-vars"});
  ASSERT_EQ(status, kExitOk);
  EXPECT_EQ(readAll(path("launcher")), original_) << "the input must not change";

  LauncherFile image;
  std::string error;
  ASSERT_TRUE(readLauncher(path("app"), image, &error)) << error;
  EXPECT_EQ(image.bytes.size(), original_.size());
  LaunchConfig config;
  ASSERT_TRUE(
      decodeLaunchConfig(image.bytes.data() + image.regionOffset, kLaunchConfigBlockSize, config));
  EXPECT_EQ(describeConfig(config),
            "runOnCallingThread: false\nconsoleApp: true\nutf8Console: false\n"
            "reservedFlag3: false\npackageAppDataVars: true\nthreadStackSize: 2097152\n"
            "mainClass: com.example.App\njvmOptions (2):\n  [0] -Xmx1g\n  [1] -Dapp.dir=&&\n"
            "appArguments (1):\n  [0] hello world\n");
  EXPECT_EQ(showCommand({path("app")}), kExitOk);
  EXPECT_EQ(showCommand({path("launcher")}), kExitFailed) << "not packed yet";

  // A damaged block is reported, not printed.
  std::vector<unsigned char> damaged = readAll(path("app"));
  std::fill_n(damaged.begin() + static_cast<std::ptrdiff_t>(image.regionOffset),
              kLaunchConfigBlockSize, 0xFF);
  ASSERT_TRUE(writeFileAtomically(path("damaged"), damaged, 0777, &error)) << error;
  EXPECT_EQ(showCommand({path("damaged")}), kExitFailed);
}

TEST_F(PackFiles, RefusalsLeaveNoOutput) {
  const std::vector<std::string> base = {"--launcher", path("launcher"), "--output",
                                         path("out"),  "--main-class",   "M"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  std::vector<std::string> tooMany = with({});
  for (int i = 0; i < 256; ++i) tooMany.insert(tooMany.end(), {"--arg", "a"});

  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {"unknown option", with({"--frobnicate", "x"}), kExitUsage},
      {"bad stack size", with({"--stack-size", "lots"}), kExitUsage},
      {"missing value", with({"--arg"}), kExitUsage},
      {"no main class", {"--launcher", path("launcher"), "--output", path("out")}, kExitUsage},
      {"256 arguments", tooMany, kExitFailed},
      {"block too large", with({"--jvm-option", std::string(16500, 'x')}), kExitFailed},
      {"input missing",
       {"--launcher", path("nope"), "--output", path("out"), "--main-class", "M"},
       kExitFailed},
      {"input is a directory",
       {"--launcher", dir_, "--output", path("out"), "--main-class", "M"},
       kExitFailed},
      {"output directory missing",
       {"--launcher", path("launcher"), "--output", path("no/such/dir/out"), "--main-class", "M"},
       kExitFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(writeCommand(c.args), c.status);
    EXPECT_NE(access(path("out").c_str(), F_OK), 0) << "no output may be left";
    EXPECT_NE(access(path("out.plenwick-tmp").c_str(), F_OK), 0);
  }
  EXPECT_EQ(readAll(path("launcher")), original_);
}

TEST_F(PackFiles, NotALauncher) {
  std::string error;
  ASSERT_TRUE(writeFileAtomically(path("other"), {'E', 'L', 'F', 0, 1, 2}, 0666, &error));
  EXPECT_EQ(
      writeCommand({"--launcher", path("other"), "--output", path("out"), "--main-class", "M"}),
      kExitFailed);
  std::vector<unsigned char> twice = original_;
  twice.insert(twice.end(), original_.begin(), original_.end());
  ASSERT_TRUE(writeFileAtomically(path("twice"), twice, 0666, &error));
  LauncherFile image;
  EXPECT_FALSE(readLauncher(path("twice"), image, &error));
  EXPECT_NE(error.find("more than once"), std::string::npos) << error;
}

}  // namespace
}  // namespace plenwick

// Hostile inputs end to end: a huge class path, an odd install path, and a
// packer handed inputs and outputs it cannot use. Damaged blocks are refused
// by the decoder (config/ unit tests).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

using Hostile = AppImageTest;

TEST_F(Hostile, WildcardExpandingToTenThousandEntries) {
  const std::string lib = appDir() + "lib";
  ASSERT_EQ(mkdir(lib.c_str(), 0755), 0);
  std::string expected = "java.class.path=" + appDir() + "probe.jar";
  for (int i = 0; i < 10000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/library-%05d.jar", i);
    std::ofstream(lib + name).flush();
    expected += ":" + lib + name;
  }
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&lib/*.jar:&&plenwick-bootstrap.jar"};
  config.appArguments = {"props", "java.class.path"};
  const RunResult r = run();
  EXPECT_TRUE(r.out == expected + ":" + appDir() + "plenwick-bootstrap.jar\n")
      << r.out.substr(0, 300) << r.err.substr(0, 2000);
}

TEST_F(Hostile, OddInstallPathSeesItsAppDirectory) {
  useRoot("all of it && ü 目录 ~ = ;");
  config.jvmOptions.push_back("-Dapp.dir=&&");
  config.appArguments = {"props", "app.dir"};
  const RunResult r = run();
  EXPECT_EQ(r.out, "app.dir=" + appDir() + "\n") << r.err;
}

// The packer refuses a launcher that is not one, or an output it cannot
// write, with exit code 1 and a message, and leaves nothing behind.
TEST_F(Hostile, PackerRefusesAndLeavesNothingBehind) {
  const std::string dir = root() + "/packer";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir + "/input-dir").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir + "/out-dir").c_str(), 0755), 0);
  const std::string launcher = PLENWICK_LAUNCHER;
  const struct {
    std::string launcher, output;
    const char* message;
  } cases[] = {
      {dir + "/input-dir", dir + "/out", "is not a regular file"},
      {dir + "/nothing-here", dir + "/out", "No such file or directory"},
      {launcher, dir + "/no/such/dir/app", "cannot write"},
      {launcher, dir + "/out-dir", "is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const RunResult r =
        runProcess(PLENWICK_PACK, {"plenwick-pack", "write", "--launcher", c.launcher, "--output",
                                   c.output, "--main-class", "a.B"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(runProcess("/bin/ls", {"ls", "-A", dir}).out, "input-dir\nout-dir\n");
  }
}

}  // namespace
}  // namespace plenwick::e2e

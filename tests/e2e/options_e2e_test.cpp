// The rewritten JVM options reach the real JDK, also when huge or under an odd
// install path; the rules themselves are pinned by the options/ unit tables.
// Damaged blocks are refused by the decoder (config/ unit tests), unusable
// packer inputs and outputs by the packer's own tests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

using Options = AppImageTest;

TEST_F(Options, JvmSeesRewrittenOptionsButRawArguments) {
  const std::string lib = appDir() + "lib";
  ASSERT_EQ(mkdir(lib.c_str(), 0755), 0);
  addJar(testJar("lib-one.jar"), "lib/two.jar");
  addJar(testJar("lib-one.jar"), "lib/one.jar");
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&lib/*.jar:&&plenwick-bootstrap.jar",
                       "-Dapp.dir=&&", "-Dx.home=~/data"};
  config.appArguments = {"props", "app.dir", "x.home", "java.class.path"};
  RunResult r = run({}, {{"HOME", "/home/some body"}});
  EXPECT_EQ(r.out, "app.dir=" + appDir() + "\nx.home=/home/some body/data\njava.class.path=" +
                       appDir() + "probe.jar:" + lib + "/one.jar:" + lib + "/two.jar:" + appDir() +
                       "plenwick-bootstrap.jar\n")
      << r.err;

  config.appArguments = {"command"};
  r = run({"x&&y", "-cp", "&&lib/*.jar"});
  EXPECT_EQ(r.out, "sun.java.command=probe.Probe command x" + appDir() + "y -cp " + lib +
                       "/one.jar:" + lib + "/two.jar\n");
  config.appArguments = {};
  r = run({"args", "x&&y"});
  EXPECT_EQ(r.out, "count=2\narg0=[args] utf8=61726773\narg1=[x&&y] utf8=78262679\n");
}

TEST_F(Options, WildcardExpandingToTenThousandEntries) {
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

TEST_F(Options, OddInstallPathSeesItsAppDirectory) {
  useRoot("all of it && ü 目录 ~ = ;");
  config.jvmOptions.push_back("-Dapp.dir=&&");
  config.appArguments = {"props", "app.dir"};
  const RunResult r = run();
  EXPECT_EQ(r.out, "app.dir=" + appDir() + "\n") << r.err;
}

}  // namespace
}  // namespace plenwick::e2e

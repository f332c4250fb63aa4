// The rewritten JVM options reach the real JDK; the rules themselves are
// pinned by the options/ unit tables.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

using Options = AppImageTest;

TEST_F(Options, JvmSeesRewrittenOptionsButRawArguments) {
  const std::string lib = appDir() + "lib";
  ASSERT_EQ(mkdir(lib.c_str(), 0755), 0);
  addJar(testJar("lib-two.jar"), "lib/two.jar");
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

}  // namespace
}  // namespace plenwick::e2e

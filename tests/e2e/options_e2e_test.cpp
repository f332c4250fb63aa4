// The rewritten JVM options reach the real JDK, also a huge one; the rules
// themselves are pinned by the options/ unit tables.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

using Options = AppImageTest;

TEST_F(Options, JvmSeesRewrittenOptions) {
  const std::string lib = appDir() + "lib";
  ASSERT_EQ(mkdir(lib.c_str(), 0755), 0);
  std::string classPath = appDir() + "probe.jar";
  for (int i = 0; i < 10000; ++i) {  // a wildcard expanding to ten thousand jars
    char name[32];
    std::snprintf(name, sizeof name, "/library-%05d.jar", i);
    std::ofstream(lib + name).flush();
    classPath += ":" + lib + name;
  }
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&lib/*.jar:&&plenwick-bootstrap.jar",
                       "-Dapp.dir=&&", "-Dx.home=~/data"};
  config.appArguments = {"props", "app.dir", "x.home", "java.class.path"};
  const RunResult r = run({}, {{"HOME", "/home/some body"}});
  EXPECT_TRUE(r.out == "app.dir=" + appDir() + "\nx.home=/home/some body/data\njava.class.path=" +
                           classPath + ":" + appDir() + "plenwick-bootstrap.jar\n")
      << r.out.substr(0, 300) << r.err.substr(0, 2000);
}

}  // namespace
}  // namespace plenwick::e2e

// JVM option preparation seen from the JVM: the token, "~/" and
// class-path wildcards, through the real launcher and the real JDK.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

const char kClassPath[] = "-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar";

class Options : public AppImageTest {
 protected:
  // ROOT/app/lib with two library jars, a subdirectory that matches "*.jar"
  // and a file that does not.
  void addLibrary() {
    const std::string lib = appDir() + "lib";
    ASSERT_EQ(mkdir(lib.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((lib + "/skipped.jar").c_str(), 0755), 0);
    addJar(testJar("lib-two.jar"), "lib/two.jar");
    addJar(testJar("lib-one.jar"), "lib/one.jar");
    addJar(testJar("lib-one.jar"), "lib/notes.txt");
  }
  std::string library() const { return appDir() + "lib/one.jar:" + appDir() + "lib/two.jar"; }
};

TEST_F(Options, JvmSeesRewrittenProperties) {
  config.jvmOptions = {kClassPath,           "-Dapp.dir=&&",   "-Dx.home=~/data/file",
                       "-Dx.list=a:~/b:~/c", "-Dx.kept=a ~/b", "-Dx.amps=&&&"};
  config.appArguments = {"props", "app.dir", "x.home", "x.list", "x.kept", "x.amps"};
  const RunResult r = run({}, {{"HOME", "/home/some body"}});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "app.dir=" + appDir() +
                       "\n"
                       "x.home=/home/some body/data/file\n"
                       "x.list=a:/home/some body/b:/home/some body/c\n"
                       "x.kept=a ~/b\n"
                       "x.amps=" +
                       appDir() + "&\n");
}

TEST_F(Options, ClassPathWildcardLoadsLibraryClasses) {
  addLibrary();
  config.jvmOptions = {std::string(kClassPath) + ":&&lib/*.jar"};
  config.appArguments = {"load", "libone.One"};
  RunResult r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "loaded=libone.One\n");

  config.appArguments = {"props", "java.class.path"};
  r = run();
  EXPECT_EQ(r.out, "java.class.path=" + appDir() + "probe.jar:" + appDir() +
                       "plenwick-bootstrap.jar:" + library() + "\n");
}

TEST_F(Options, ArgumentTokenExpandedOnlyInTheCommandProperty) {
  addLibrary();
  config.appArguments = {"command"};
  RunResult r = run({"x&&y", "-cp", "&&lib/*.jar"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "sun.java.command=probe.Probe command x" + appDir() + "y -cp " + library() + "\n");

  config.appArguments = {};
  r = run({"args", "x&&y", "&&lib/*.jar"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(linesStartingWith(r.out, "arg"),
            (std::vector<std::string>{"arg0=[args] utf8=61726773", "arg1=[x&&y] utf8=78262679",
                                      "arg2=[&&lib/*.jar] utf8=26266c69622f2a2e6a6172"}));
}

}  // namespace
}  // namespace plenwick::e2e

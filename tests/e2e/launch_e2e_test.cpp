// The launch path end to end: block -> start-up -> JVM -> bootstrap -> entry point.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

using Launch = AppImageTest;

TEST_F(Launch, ArgumentsDefaultsThenCommandLine) {
  config.appArguments = {"args", "default &&"};  // arguments are passed as they are
  const RunResult r = run({"", "Grüße😀"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "count=4\narg0=[args] utf8=61726773\narg1=[default &&] utf8=64656661756c74202626\n"
            "arg2=[] utf8=\narg3=[Grüße😀] utf8=4772c3bcc39f65f09f9880\n");
}

TEST_F(Launch, CommandPropertyHoldsClassAndArguments) {
  config.appArguments = {"command"};
  const RunResult r = run({"x y", "", "&&"});
  EXPECT_EQ(r.out, "sun.java.command=probe.Probe command x y  " + appDir() + "\n") << r.err;
}

// The option variables and the runtime home are gone; the folder variables are set.
TEST_F(Launch, EnvironmentSeenByJava) {
  config.packageAppDataVars = true;
  config.appArguments = {"env",
                         "_JAVA_OPTIONS",
                         "JDK_JAVA_OPTIONS",
                         "JAVA_TOOL_OPTIONS",
                         "_ALT_JAVA_HOME_DIR",
                         "PACKAGE_LOCALAPPDATA",
                         "PACKAGE_APPDATA",
                         "USER_LOCALAPPDATA",
                         "USER_APPDATA",
                         "LOCALAPPDATA",
                         "APPDATA"};
  const RunResult r = run({}, {{"_JAVA_OPTIONS", "-Dinjected=1"},
                               {"JDK_JAVA_OPTIONS", "-Dinjected=2"},
                               {"JAVA_TOOL_OPTIONS", "-Dinjected=3"},
                               {"_ALT_JAVA_HOME_DIR", "/elsewhere"},
                               {"XDG_DATA_HOME", "/x/d"},
                               {"XDG_CONFIG_HOME", "/x/c"},
                               {"LOCALAPPDATA", "/p/l"},
                               {"PACKAGE_APPDATA", std::nullopt}});
  EXPECT_EQ(r.err, "") << "no \"Picked up\" line";
  EXPECT_EQ(r.out,
            "_JAVA_OPTIONS=null\nJDK_JAVA_OPTIONS=null\nJAVA_TOOL_OPTIONS=null\n"
            "_ALT_JAVA_HOME_DIR=null\nPACKAGE_LOCALAPPDATA=/x/d\nPACKAGE_APPDATA=/x/c\n"
            "USER_LOCALAPPDATA=/x/d\nUSER_APPDATA=/x/c\nLOCALAPPDATA=/x/d\nAPPDATA=/x/c\n");
}

TEST_F(Launch, FailuresEndWithExitCodeOneAndAMessage) {
  const std::string probePath = "-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar";
  const std::string oddMains = "-Djava.class.path=&&odd-mains.jar:&&plenwick-bootstrap.jar";
  const std::string mustBe = " must be declared public static void main(String[]), but is public ";
  const struct {
    std::vector<std::string> options;  // replaces the class path and options when not empty
    const char* mainClass;
    std::string message;
  } cases[] = {
      {{probePath, "-XX:+NoSuchFlag"}, "probe.Probe", "Failed to create JVM: Error 0xfffffffa"},
      {{"-Djava.class.path=&&probe.jar"},
       "probe.Probe",
       "java.lang.NoClassDefFoundError: quorvatic/plenwick/launcher/Launcher"},
      {{}, "com.example.Missing", "The main class com.example.Missing could not be loaded"},
      {{},
       "quorvatic.plenwick.launcher.Launcher",
       "has no method public static void main(String[])"},
      {{}, "", "No main class is configured"},
      {{oddMains},
       "oddmains.NotStatic",
       "The main method of oddmains.NotStatic" + mustBe + "void oddmains.NotStatic.main"},
      {{oddMains},
       "oddmains.NotVoid",
       "The main method of oddmains.NotVoid" + mustBe + "static int oddmains.NotVoid.main"},
      {{"-Djava.class.path=&&broken-launcher.jar:&&probe.jar"},
       "probe.Probe",
       "left 'mainMethod' unset after preparing the main class 'probe.Probe'"},
  };
  addJar(testJar("broken-launcher.jar"), "broken-launcher.jar");
  addJar(testJar("odd-mains.jar"), "odd-mains.jar");
  const std::vector<std::string> options = config.jvmOptions;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    config.jvmOptions = c.options.empty() ? options : c.options;
    config.mainClass = c.mainClass;
    const RunResult r = run();
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_TRUE(contains(r.err, c.message)) << r.err;
    EXPECT_FALSE(contains(r.err, "internal error and must quit"))
        << "no box for bootstrap failures";
  }
}

TEST_F(Launch, ExitCodeAndNonDaemonThreads) {
  config.runOnCallingThread = true;
  EXPECT_EQ(run({"exit", "42"}).exitCode, 42);
  const RunResult r = run({"non-daemon", "500"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "main returned\nthread finished\n");
}

TEST_F(Launch, ThreadStackSizeIsApplied) {
  config.jvmOptions.push_back("-Xint");  // interpreted frames: depth follows the stack size
  int depth[2] = {};
  const uint32_t sizes[2] = {512 * 1024, 8 * 1024 * 1024};
  for (int i = 0; i < 2; ++i) {
    config.threadStackSize = sizes[i];
    const RunResult r = run({"recurse"});
    EXPECT_EQ(r.out.rfind("depth=", 0), 0u) << r.out << r.err;
    depth[i] = std::atoi(r.out.c_str() + 6);
  }
  EXPECT_GT(depth[0], 0);
  EXPECT_GT(depth[1], depth[0] * 8) << "small " << depth[0] << " large " << depth[1];
}

TEST_F(Launch, ThreadCreationFailureEndsTheLaunch) {
  // Under a 1 GiB address-space limit a stack of almost 4 GiB cannot be had.
  config.threadStackSize = 0xFFFFF000u;
  const RunResult r = runProcess("/bin/sh", {"sh", "-c", "ulimit -v 1048576; exec \"$0\"", pack()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "CreateThread failed.\n");
}

TEST_F(Launch, OnlineUpdaterPresentAbsentBroken) {
  config.appArguments = {"updater"};
  EXPECT_EQ(run().out, "updater=true\n");
  addJar(testJar("launcher-only.jar"), "launcher-only.jar");
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&launcher-only.jar"};
  RunResult r = run();
  EXPECT_EQ(r.out + r.err, "updater=absent\n");
  addJar(testJar("broken-updater.jar"), "broken-updater.jar");
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&broken-updater.jar:&&launcher-only.jar"};
  r = run();
  EXPECT_EQ(r.out, "updater=false\n");
  EXPECT_TRUE(contains(r.err, "does not declare the native method")) << r.err;
}

}  // namespace
}  // namespace plenwick::e2e

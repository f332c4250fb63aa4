// The launch path end to end: block -> start-up -> JVM -> bootstrap -> entry point.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

using Launch = AppImageTest;

// Defaults, then the command line: as they are in main's array, with the token
// replaced in sun.java.command. The JVM reads option strings, and Java prints, in the
// locale's encoding, so the run has a UTF-8 one whatever the caller's.
TEST_F(Launch, ArgumentsDefaultsThenCommandLine) {
  config.appArguments = {"args", "default &&"};
  const RunResult r = run({"", "Grüße😀"}, {{"LC_ALL", "C.UTF-8"}});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "sun.java.command=probe.Probe args default " + appDir() +
                       "  Grüße😀\ncount=4\narg0=[args] utf8=61726773\n"
                       "arg1=[default &&] utf8=64656661756c74202626\narg2=[] utf8=\n"
                       "arg3=[Grüße😀] utf8=4772c3bcc39f65f09f9880\n");
}

// Started through a relative link elsewhere, as /usr/bin/NAME of a Linux package, the launcher
// still finds its install root: the kernel names its file with every link resolved.
TEST_F(Launch, InstallRootFoundThroughALink) {
  config.appArguments = {"args", "&&"};
  std::filesystem::create_directories(dir_ / "usr/bin");
  const std::filesystem::path link = dir_ / "usr/bin/app";
  std::filesystem::create_symlink(std::filesystem::relative(pack(), link.parent_path()), link);
  const RunResult r = runProcess(link.string(), {link.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(valueOf(r.out, "sun.java.command"), "probe.Probe args " + appDir());
}

// What Java sees of the environment: the option variables and the runtime home
// removed, the folder variables set from the XDG ones.
TEST_F(Launch, EnvironmentSeenByJava) {
  const struct {
    const char* name;
    std::optional<std::string> given;  // nullopt: unset
    const char* seen;
  } variables[] = {
      {"_JAVA_OPTIONS", "-Dinjected=1", "null"},
      {"JDK_JAVA_OPTIONS", "-Dinjected=2", "null"},
      {"JAVA_TOOL_OPTIONS", "-Dinjected=3", "null"},
      {"_ALT_JAVA_HOME_DIR", "/elsewhere", "null"},
      {"XDG_DATA_HOME", "/x/d", "/x/d"},
      {"XDG_CONFIG_HOME", "/x/c", "/x/c"},
      {"PACKAGE_LOCALAPPDATA", std::nullopt, "/x/d"},
      {"PACKAGE_APPDATA", std::nullopt, "/x/c"},
      {"LOCALAPPDATA", "/p/l", "/x/d"},
      {"APPDATA", std::nullopt, "/x/c"},
  };
  config.packageAppDataVars = true;
  config.appArguments = {"env"};
  EnvChanges env;
  std::string expected;
  for (const auto& v : variables) {
    config.appArguments.push_back(v.name);
    env[v.name] = v.given;
    expected += std::string(v.name) + "=" + v.seen + "\n";
  }
  const RunResult r = run({}, env);
  EXPECT_EQ(r.err, "") << "no \"Picked up\" line";
  EXPECT_EQ(r.out, expected);
}

// The hand-off fails: exit code 1, the message, and no error box.
TEST_F(Launch, FailuresEndWithExitCodeOneAndAMessage) {
  const char* probe = "&&probe.jar:&&plenwick-bootstrap.jar";
  const char* odd = "&&odd-mains.jar:&&plenwick-bootstrap.jar";
  const std::string mustBe = " must be declared public static void main(String[]), but is public ";
  const struct {
    const char* classPath;
    const char* mainClass;
    std::string message;
  } cases[] = {
      {"&&probe.jar", "probe.Probe", "NoClassDefFoundError: quorvatic/plenwick/launcher/Launcher"},
      {probe, "com.example.Missing", "The main class com.example.Missing could not be loaded"},
      {probe, "quorvatic.plenwick.launcher.Launcher", "has no method public static void main"},
      {probe, "", "No main class is configured"},
      {odd, "oddmains.NotStatic", mustBe + "void oddmains.NotStatic.main"},
      {odd, "oddmains.NotVoid", mustBe + "static int oddmains.NotVoid.main"},
      {"&&misbehaving-launcher.jar:&&probe.jar", "unprepared.Main",
       "left 'mainMethod' unset after preparing the main class 'unprepared.Main'"},
  };
  addJar(testJar("misbehaving-launcher.jar"), "misbehaving-launcher.jar");
  addJar(testJar("odd-mains.jar"), "odd-mains.jar");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    config.jvmOptions = {std::string("-Djava.class.path=") + c.classPath};
    config.mainClass = c.mainClass;
    const RunResult r = run();
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("internal error and must quit"), std::string::npos);
  }
}

TEST_F(Launch, ExitCodesAndNonDaemonThreads) {
  config.runOnCallingThread = true;
  EXPECT_EQ(run({"exit", "42"}).exitCode, 42);
  RunResult r = run({"non-daemon", "500"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "main returned\nthread finished\n");
  config.jvmOptions.push_back("-XX:+NoSuchFlag");
  r = run();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Failed to create JVM: Error 0xfffffffa"), std::string::npos) << r.err;
}

TEST_F(Launch, ThreadStackSizeIsApplied) {
  config.jvmOptions.push_back("-Xint");  // interpreted frames: depth follows the stack size
  int depth[2] = {};
  const uint32_t sizes[2] = {512 * 1024, 8 * 1024 * 1024};
  for (int i = 0; i < 2; ++i) {
    config.threadStackSize = sizes[i];
    depth[i] = std::atoi(valueOf(run({"recurse"}).out, "depth").c_str());
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
  EXPECT_NE(r.err.find("does not declare the native method"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace plenwick::e2e

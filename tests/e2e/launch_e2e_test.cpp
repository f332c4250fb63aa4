// The launch path end to end: block -> start-up -> JVM -> bootstrap -> entry point.
#include <gtest/gtest.h>

#include <fstream>

#include "config/launch_config_block.h"
#include "config/region_locator.h"
#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

using Launch = AppImageTest;

TEST_F(Launch, ArgumentsDefaultsThenCommandLine) {
  config.appArguments = {"args", "default one"};
  const RunResult r = run({"plain", "with space", "", "Grüße", "😀.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "count=7\n"
            "arg0=[args] utf8=61726773\n"
            "arg1=[default one] utf8=64656661756c74206f6e65\n"
            "arg2=[plain] utf8=706c61696e\n"
            "arg3=[with space] utf8=77697468207370616365\n"
            "arg4=[] utf8=\n"
            "arg5=[Grüße] utf8=4772c3bcc39f65\n"
            "arg6=[😀.txt] utf8=f09f98802e747874\n");
}

TEST_F(Launch, CommandPropertyHoldsClassAndArguments) {
  config.appArguments = {"command"};
  const RunResult r = run({"x y", "", "&&"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "sun.java.command=probe.Probe command x y  " + appDir() + "\n");
}

TEST_F(Launch, InjectedOptionVariablesAreRemoved) {
  const EnvChanges injected = {{"_JAVA_OPTIONS", "-Dinjected=1"},
                               {"JDK_JAVA_OPTIONS", "-Dinjected=2"},
                               {"JAVA_TOOL_OPTIONS", "-Dinjected=3"},
                               {"_ALT_JAVA_HOME_DIR", "/elsewhere"}};
  config.appArguments = {"env", "_JAVA_OPTIONS", "JDK_JAVA_OPTIONS", "JAVA_TOOL_OPTIONS",
                         "_ALT_JAVA_HOME_DIR"};
  RunResult r = run({}, injected);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "_JAVA_OPTIONS=null\nJDK_JAVA_OPTIONS=null\nJAVA_TOOL_OPTIONS=null\n"
            "_ALT_JAVA_HOME_DIR=null\n");
  EXPECT_FALSE(contains(r.err, "Picked up")) << r.err;

  config.appArguments = {"child-env", "_JAVA_OPTIONS", "JDK_JAVA_OPTIONS", "JAVA_TOOL_OPTIONS",
                         "_ALT_JAVA_HOME_DIR"};
  r = run({}, injected);
  EXPECT_EQ(r.out,
            "child _JAVA_OPTIONS unset\nchild JDK_JAVA_OPTIONS unset\n"
            "child JAVA_TOOL_OPTIONS unset\nchild _ALT_JAVA_HOME_DIR unset\n");
}

TEST_F(Launch, HomeComesFromTheProfile) {
  config.appArguments = {"env", "HOME"};
  const RunResult r = run({}, {{"HOME", "/home/somebody else"}});
  EXPECT_EQ(r.out, "HOME=/home/somebody else\n") << r.err;
}

struct FailureCase {
  const char* name;
  std::vector<std::string> options;  // replaces the class path and options when not empty
  std::string mainClass;
  std::vector<std::string> args;
  const char* stderrPart;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr const char* kOddMainsClassPath =
    "-Djava.class.path=&&odd-mains.jar:&&plenwick-bootstrap.jar";

class LaunchFailure : public AppImageTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LaunchFailure, EndsWithExitCodeOneAndAMessage) {
  const FailureCase& c = GetParam();
  if (!c.options.empty()) config.jvmOptions = c.options;
  config.mainClass = c.mainClass;
  addJar(testJar("broken-launcher.jar"), "broken-launcher.jar");
  addJar(testJar("odd-mains.jar"), "odd-mains.jar");
  const RunResult r = run(c.args);
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  EXPECT_TRUE(contains(r.err, c.stderrPart)) << r.err;
  EXPECT_FALSE(contains(r.err, "internal error and must quit")) << "no box for bootstrap failures";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchFailure,
    ::testing::Values(
        FailureCase{"UnknownJvmOption",
                    {"-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar", "-XX:+NoSuchFlag"},
                    "probe.Probe",
                    {},
                    "Failed to create JVM: Error 0xfffffffa"},
        FailureCase{"MissingBootstrapClass",
                    {"-Djava.class.path=&&probe.jar"},
                    "probe.Probe",
                    {},
                    "java.lang.NoClassDefFoundError: quorvatic/plenwick/launcher/Launcher"},
        FailureCase{"MissingMainClass",
                    {},
                    "com.example.Missing",
                    {},
                    "The main class com.example.Missing could not be loaded"},
        FailureCase{"NoMainMethod",
                    {},
                    "quorvatic.plenwick.launcher.Launcher",
                    {},
                    "has no method public static void main(String[])"},
        FailureCase{"EmptyMainClass", {}, "", {}, "No main class is configured"},
        FailureCase{"MainNotStatic",
                    {kOddMainsClassPath},
                    "oddmains.NotStatic",
                    {},
                    "The main method of oddmains.NotStatic must be declared public static void "
                    "main(String[]), but is public void oddmains.NotStatic.main"},
        FailureCase{"MainNotVoid",
                    {kOddMainsClassPath},
                    "oddmains.NotVoid",
                    {},
                    "The main method of oddmains.NotVoid must be declared public static void "
                    "main(String[]), but is public static int oddmains.NotVoid.main"},
        FailureCase{"PrepareLeavesFieldsNull",
                    {"-Djava.class.path=&&broken-launcher.jar:&&probe.jar"},
                    "probe.Probe",
                    {},
                    "left 'mainMethod' unset after preparing the main class 'probe.Probe'"}),
    [](const ::testing::TestParamInfo<FailureCase>& param) {
      return std::string(param.param.name);
    });

TEST_F(Launch, ExitCodeOfSystemExit) {
  EXPECT_EQ(run({"exit", "42"}).exitCode, 42);
}

TEST_F(Launch, NonDaemonThreadOutlivingMainIsWaitedFor) {
  const RunResult r = run({"non-daemon", "500"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "main returned\nthread finished\n");
}

class StackSize : public AppImageTest {
 protected:
  int depthWithStack(uint32_t stackSize) {
    config.threadStackSize = stackSize;
    const RunResult r = run({"recurse"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto lines = linesStartingWith(r.out, "depth=");
    return lines.empty() ? 0 : std::stoi(lines[0].substr(6));
  }
};

TEST_F(StackSize, ThreadStackSizeIsApplied) {
  config.jvmOptions.push_back("-Xint");  // interpreted frames: depth follows the stack size
  const int small = depthWithStack(512 * 1024);
  const int large = depthWithStack(8 * 1024 * 1024);
  EXPECT_GT(small, 0);
  EXPECT_GT(large, small * 8) << "small " << small << " large " << large;
}

TEST_F(Launch, ThreadVariants) {
  // The JVM thread is the process's initial thread exactly when its task id is the pid.
  config.appArguments = {"thread"};
  config.runOnCallingThread = true;
  RunResult r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "initialThread=true\n");
  config.runOnCallingThread = false;
  r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "initialThread=false\n");
}

TEST_F(Launch, UnstartableThreadStackSize) {
  // Under a 1 GiB address-space limit a stack of almost 4 GiB cannot be had.
  config.threadStackSize = 0xFFFFF000u;
  const std::string program = pack();
  const RunResult r =
      runProcess("/bin/sh", {"sh", "-c", "ulimit -v 1048576; exec \"$0\"", program});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "CreateThread failed.\n");
}

TEST_F(Launch, OnlineUpdaterPresentAbsentBroken) {
  config.appArguments = {"updater"};
  RunResult r = run();
  EXPECT_EQ(r.out, "updater=true\n") << r.err;

  addJar(testJar("launcher-only.jar"), "launcher-only.jar");
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&launcher-only.jar"};
  r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "updater=absent\n");
  EXPECT_EQ(r.err, "");

  addJar(testJar("broken-updater.jar"), "broken-updater.jar");
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&broken-updater.jar:&&launcher-only.jar"};
  r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "updater=false\n");
  EXPECT_TRUE(contains(r.err, "does not declare the native method")) << r.err;
}

TEST_F(Launch, UnpackedLauncherRefusesToStart) {
  const std::string program = root() + "/bin/raw";
  std::ifstream in(PLENWICK_LAUNCHER, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::ofstream(program, std::ios::binary) << bytes;
  chmod(program.c_str(), 0755);
  const RunResult r = runProcess(program, {program});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "The launch configuration in this executable is missing or damaged; it cannot start. "
            "Pack the launcher again with plenwick-pack.\n");
}

// The packer finds the region by its filler in a launcher that was never packed.
TEST(LauncherFile, FillerAndMarkerOccurOnce) {
  std::ifstream in(PLENWICK_LAUNCHER, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string filler(kLaunchConfigBlockSize - 1, '_');
  filler.push_back('\0');
  const std::size_t first = bytes.find(filler);
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(bytes.find(filler, first + 1), std::string::npos);
  const std::vector<unsigned char> file(bytes.begin(), bytes.end());
  const RegionLocation location = locateRegion(file);
  ASSERT_TRUE(location.found()) << location.error;
  EXPECT_EQ(location.offset, first);
}

}  // namespace
}  // namespace plenwick::e2e

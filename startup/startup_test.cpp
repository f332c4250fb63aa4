#include "startup/startup.h"

#include <gtest/gtest.h>

#include <string>

#include "jvm/launch_jvm.h"
#include "tests/support/fake_platform.h"

namespace plenwick {

// The unit tests have no JVM: launchJvm records what Java would start from and
// ends the process, as the real one does on every path.
void launchJvm(JavaLaunch& launch) {
  auto& platform = dynamic_cast<FakePlatform&>(launch.platform);
  platform.log.push_back("java " + launch.config.mainClass + " " + launch.argv[launch.argc - 1]);
  platform.exitProcess(0);
}

namespace {

// The sequence, with the known-folder work shown as "folders" and the other
// variables left out: console, folders, HOME=..., thread <stack>, java <main class>
// <last argument>, stderr.
std::string steps(const FakePlatform& platform) {
  std::string out;
  for (const std::string& line : platform.log) {
    if (line[0] == '?' && out.find("folders") != std::string::npos) continue;
    const bool other = line.find('=') != std::string::npos && line.rfind("HOME=", 0) != 0 &&
                       line.rfind("stderr:", 0) != 0;
    if (!other) out += (out.empty() ? "" : " ") + (line[0] == '?' ? "folders" : line);
  }
  return out;
}

enum : unsigned { kConsole = 1, kUtf8 = 2, kCallingThread = 4, kThreadFails = 8, kDamaged = 16 };

TEST(RunLauncher, StartUpSequence) {
  const struct {
    unsigned setting;
    const PathConventions& conventions;
    std::string steps;
    int exitCode;
  } cases[] = {
      {kConsole | kUtf8 | kCallingThread, kWindowsConventions,
       "console folders HOME=C:\\u java M app", 0},
      {kConsole | kCallingThread, kWindowsConventions, "folders HOME=C:\\u java M app", 0},
      {kUtf8 | kCallingThread, kWindowsConventions, "folders HOME=C:\\u java M app", 0},
      {0, kWindowsConventions, "folders HOME=C:\\u thread 2097152 java M app", 0},
      {kThreadFails, kWindowsConventions,
       "folders HOME=C:\\u thread 2097152 stderr:CreateThread failed.\r\n", 1},
      {kConsole | kUtf8 | kDamaged, kPosixConventions,
       "stderr:The launch configuration in this executable is missing or damaged; it cannot "
       "start. Pack the launcher again with plenwick-pack.\n",
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.steps);
    FakePlatform platform(c.conventions);
    platform.environment[c.conventions.profileVariable] = "C:\\u";
    platform.threadCreationFails = c.setting & kThreadFails;
    LaunchConfig config;
    config.consoleApp = c.setting & kConsole;
    config.utf8Console = c.setting & kUtf8;
    config.runOnCallingThread = c.setting & kCallingThread;
    config.threadStackSize = 2097152;
    config.mainClass = "M";
    config.intact = !(c.setting & kDamaged);
    char program[] = "app";
    char* argv[] = {program, nullptr};
    int exitCode = -1;  // -1: runLauncher returned, which launchJvm never lets it do
    try {
      JavaLaunch launch{platform, config, 1, argv};
      runLauncher(launch);
    } catch (const FakeExit& exit) {
      exitCode = exit.code;
    }
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(steps(platform), c.steps);
  }
}

}  // namespace
}  // namespace plenwick

#include "startup/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jvm/java_launch.h"
#include "tests/support/fake_platform.h"

namespace plenwick {
namespace {

using Kind = FakeEvent::Kind;

FakePlatform* current = nullptr;

// Stands in for launchJvm: marks where in the sequence Java was started.
void recordJavaStart() {
  current->events.push_back({Kind::StandardError, "java", {}});
}

// The sequence as short words: console, query, HOME, thread <stack>, java,
// and any other standard error text.
std::vector<std::string> steps(const FakePlatform& platform) {
  std::vector<std::string> out;
  for (const FakeEvent& event : platform.events) {
    switch (event.kind) {
      case Kind::Console:
        out.push_back("console");
        break;
      case Kind::Query:
        if (out.empty() || out.back() != "folders") out.push_back("folders");
        break;
      case Kind::SetEnvironment:
        if (event.first.rfind("HOME=", 0) == 0) out.push_back(event.first);
        break;
      case Kind::Thread:
        out.push_back("thread " + event.first);
        break;
      default:
        out.push_back(event.first);
    }
  }
  return out;
}

TEST(RunLauncher, StartUpSequence) {
  const struct {
    const char* name;
    bool consoleApp, utf8Console, runOnCallingThread, threadFails, intact;
    const PathConventions& conventions;
    std::vector<std::string> steps;
    int exitCode;  // -1: runLauncher returned 0
  } cases[] = {
      {"console set up for a console app asking for UTF-8", true, true, true, false, true,
       kWindowsConventions, {"console", "folders", "HOME=C:\\u", "java"}, -1},
      {"no console without UTF-8", true, false, true, false, true, kWindowsConventions,
       {"folders", "HOME=C:\\u", "java"}, -1},
      {"no console for a GUI app", false, true, true, false, true, kWindowsConventions,
       {"folders", "HOME=C:\\u", "java"}, -1},
      {"new thread with the stack size", false, false, false, false, true, kWindowsConventions,
       {"folders", "HOME=C:\\u", "thread 2097152", "java"}, -1},
      {"thread cannot be created", false, false, false, true, true, kWindowsConventions,
       {"folders", "HOME=C:\\u", "thread 2097152", "CreateThread failed.\r\n"}, 1},
      {"posix line end", false, false, false, true, true, kPosixConventions,
       {"folders", "HOME=C:\\u", "thread 2097152", "CreateThread failed.\n"}, 1},
      {"damaged configuration: nothing else happens", true, true, true, false, false,
       kPosixConventions,
       {"The launch configuration in this executable is missing or damaged; it cannot start. "
        "Pack the launcher again with plenwick-pack.\n"},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform(c.conventions);
    platform.environment[c.conventions.profileVariable] = "C:\\u";
    platform.threadCreationFails = c.threadFails;
    current = &platform;
    LaunchConfig config;
    config.consoleApp = c.consoleApp;
    config.utf8Console = c.utf8Console;
    config.runOnCallingThread = c.runOnCallingThread;
    config.threadStackSize = 2097152;
    config.intact = c.intact;
    char program[] = "app";
    char* argv[] = {program, nullptr};
    int exitCode = -1;
    try {
      EXPECT_EQ(runLauncher(platform, config, 1, argv, recordJavaStart), 0);
    } catch (const FakeExit& exit) {
      exitCode = exit.code;
    }
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(steps(platform), c.steps);
    EXPECT_EQ(processArgc, 1);
    EXPECT_EQ(processArgv, argv);
  }
  current = nullptr;
}

}  // namespace
}  // namespace plenwick

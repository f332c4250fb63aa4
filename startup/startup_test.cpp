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

// What a case sets: the configuration's flags and the fake's thread failure.
enum : unsigned { kConsole = 1, kUtf8 = 2, kCallingThread = 4, kThreadFails = 8, kDamaged = 16 };

TEST(RunLauncher, StartUpSequence) {
  const std::string damaged =
      "The launch configuration in this executable is missing or damaged; it cannot start. "
      "Pack the launcher again with plenwick-pack.";
  const struct {
    const char* name;
    unsigned setting;
    const PathConventions& conventions;
    std::vector<std::string> steps;
    int exitCode;  // -1: runLauncher returned 0
  } cases[] = {
      {"console for a console app asking for UTF-8",
       kConsole | kUtf8 | kCallingThread,
       kWindowsConventions,
       {"console", "folders", "HOME=C:\\u", "java"},
       -1},
      {"no console without UTF-8",
       kConsole | kCallingThread,
       kWindowsConventions,
       {"folders", "HOME=C:\\u", "java"},
       -1},
      {"no console for a GUI app",
       kUtf8 | kCallingThread,
       kWindowsConventions,
       {"folders", "HOME=C:\\u", "java"},
       -1},
      {"new thread with the stack size",
       0,
       kWindowsConventions,
       {"folders", "HOME=C:\\u", "thread 2097152", "java"},
       -1},
      {"thread cannot be created",
       kThreadFails,
       kWindowsConventions,
       {"folders", "HOME=C:\\u", "thread 2097152", "CreateThread failed.\r\n"},
       1},
      {"posix line end",
       kThreadFails,
       kPosixConventions,
       {"folders", "HOME=C:\\u", "thread 2097152", "CreateThread failed.\n"},
       1},
      {"damaged configuration: nothing else happens",
       kConsole | kUtf8 | kDamaged,
       kPosixConventions,
       {damaged + "\n"},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform(c.conventions);
    platform.environment[c.conventions.profileVariable] = "C:\\u";
    platform.threadCreationFails = c.setting & kThreadFails;
    current = &platform;  // cppcheck-suppress danglingLifetime ; cleared after the loop
    LaunchConfig config;
    config.consoleApp = c.setting & kConsole;
    config.utf8Console = c.setting & kUtf8;
    config.runOnCallingThread = c.setting & kCallingThread;
    config.threadStackSize = 2097152;
    config.intact = !(c.setting & kDamaged);
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

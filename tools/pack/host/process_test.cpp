#include "tools/pack/host/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/pack/host/interrupts.h"

namespace plenwick {
namespace {

ProcessResult shell(const std::string& script, const ProcessOptions& options = {}) {
  return runProcess({"/bin/sh", "-c", script}, options);
}

// What a child sees of the packer: the state below is the packer's own.
TEST(RunProcess, ChildGetsOnlyWhatItNeeds) {
  setenv("PLENWICK_TEST_PASSWORD", "hidden", 1);
  setenv("LC_TIME", "C", 1);
  const int inherited = open("/dev/null", O_RDONLY);  // without O_CLOEXEC
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
  signal(SIGUSR1, SIG_IGN);
  ProcessOptions withSecret;
  withSecret.secret = "the secret\n";
  const struct {
    std::string script;
    ProcessOptions options;
    int exitCode;
    std::string output;
  } cases[] = {
      {"env | grep -c -e PLENWICK_TEST_PASSWORD -e ^LC_TIME=C -e ^PATH=", {}, 0, "2\n"},
      {"test -e /proc/self/fd/" + std::to_string(inherited), {}, 1, ""},
      {"cat <&3; test -e /proc/self/fd/4", withSecret, 1, "the secret\n"},
      {"test -e /proc/self/fd/3", {}, 1, ""},
      {"kill -TERM $$; echo blocked", {}, 128 + SIGTERM, ""},
      {"kill -USR1 $$; echo ignored", {}, 128 + SIGUSR1, ""},
      {"ps -o pgid= -p $$ | tr -d ' '; echo $$", {}, 0, "same"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const ProcessResult run = shell(c.script, c.options);
    EXPECT_EQ(run.exitCode, c.exitCode);
    if (c.output == "same") {
      const std::size_t line = run.output.find('\n');
      EXPECT_EQ(run.output.substr(0, line + 1), run.output.substr(line + 1))
          << "a group of its own";
    } else {
      EXPECT_EQ(run.output, c.output);
    }
  }
  signal(SIGUSR1, SIG_DFL);
  pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
  close(inherited);
  unsetenv("LC_TIME");
  unsetenv("PLENWICK_TEST_PASSWORD");
}

TEST(RunProcess, NoDescendantOutlivesTheRun) {
  // One stays in the group, one leaves it with a session of its own.
  const ProcessResult run = shell("sleep 60 & echo $!; setsid sleep 60 & echo $!");
  ASSERT_EQ(run.exitCode, 0);
  std::istringstream pids(run.output);
  int count = 0;
  for (pid_t pid = 0; pids >> pid; ++count) {
    EXPECT_NE(kill(pid, 0), 0) << pid << " is still running";
  }
  EXPECT_EQ(count, 2) << run.output;
}

// A companion started in the background (the training run's display server)
// outlives the sweep after a run that spares it, and only that one.
TEST(RunProcess, TheSweepSparesOnlyTheCompanion) {
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const pid_t companion = startBackground({"/bin/sleep", "60"}, devNull, devNull);
  close(devNull);
  ASSERT_GT(companion, 0);
  ProcessOptions options;
  options.spared = companion;
  const ProcessResult run = shell("setsid sleep 60 & echo $!", options);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(kill(companion, 0), 0) << "the companion is killed";
  EXPECT_NE(kill(std::stoi(run.output), 0), 0) << "another descendant outlives the run";
  forgetChildGroup(companion);
  kill(companion, SIGKILL);
  waitpid(companion, nullptr, 0);
}

}  // namespace
}  // namespace plenwick

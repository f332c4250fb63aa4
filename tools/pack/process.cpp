#include "tools/pack/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

extern char** environ;

namespace plenwick {
namespace {

int exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

pid_t spawnWithPipe(const std::vector<std::string>& argv, int pipeWrite) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeWrite, 1);
  posix_spawn_file_actions_adddup2(&actions, pipeWrite, 2);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Reads the pipe until it closes; kills `pid` once the deadline has passed.
bool drain(int pipeRead, pid_t pid, int timeoutSeconds, std::string& output) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  char buffer[4096];
  for (;;) {
    pollfd entry{pipeRead, POLLIN, 0};
    const int ready = poll(&entry, 1, 200);
    if (ready > 0) {
      const ssize_t got = read(pipeRead, buffer, sizeof buffer);
      if (got <= 0) return false;
      output.append(buffer, static_cast<std::size_t>(got));
    }
    if (timeoutSeconds > 0 && Clock::now() > deadline) {
      kill(pid, SIGKILL);
      return true;
    }
  }
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, int timeoutSeconds) {
  ProcessResult result;
  int fds[2];
  if (argv.empty() || pipe2(fds, O_CLOEXEC) != 0) return result;
  const pid_t pid = spawnWithPipe(argv, fds[1]);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    result.output = "cannot start " + (argv.empty() ? std::string() : argv[0]);
    return result;
  }
  result.timedOut = drain(fds[0], pid, timeoutSeconds, result.output);
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitCode = exitCodeOf(status);
  return result;
}

}  // namespace plenwick

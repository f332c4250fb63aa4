#include "tools/pack/runtime/process.h"

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

using Clock = std::chrono::steady_clock;

int exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

std::vector<char*> pointers(const std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (const std::string& s : strings) out.push_back(const_cast<char*>(s.c_str()));
  out.push_back(nullptr);
  return out;
}

pid_t spawnWithPipe(const std::vector<std::string>& argv, const ProcessOptions& options,
                    int pipeWrite) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeWrite, 1);
  posix_spawn_file_actions_adddup2(&actions, pipeWrite, 2);
  if (!options.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (options.ownProcessGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  std::vector<char*> args = pointers(argv);
  std::vector<char*> env = pointers(options.environment);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, &attributes, args.data(),
                  options.environment.empty() ? environ : env.data()) != 0) {
    pid = -1;
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Reads what is ready on the pipe; false once it is closed.
bool readReady(int pipeRead, int waitMs, std::string& output) {
  pollfd entry{pipeRead, POLLIN, 0};
  if (poll(&entry, 1, waitMs) <= 0) return true;
  char buffer[4096];
  const ssize_t got = read(pipeRead, buffer, sizeof buffer);
  if (got <= 0) return false;
  output.append(buffer, static_cast<std::size_t>(got));
  return true;
}

// Collects the output until the process has ended, never past the time
// limit; returns the process's wait status.
int collect(pid_t pid, int pipeRead, const ProcessOptions& options, ProcessResult& result) {
  const pid_t target = options.ownProcessGroup ? -pid : pid;
  const auto deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
  bool open = true;
  int status = 0;
  for (;;) {
    if (open) {
      open = readReady(pipeRead, 200, result.output);
    } else {
      poll(nullptr, 0, 50);
    }
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return status;
    if (options.timeoutSeconds > 0 && !result.timedOut && Clock::now() > deadline) {
      result.timedOut = true;
      kill(target, SIGKILL);
    }
  }
  // Whatever the group left behind goes with it, so it cannot hold the pipe.
  if (options.ownProcessGroup) kill(target, SIGKILL);
  // What the process wrote before it ended is in the pipe now; read what is
  // there without waiting for a left-over child to close it.
  for (int reads = 0; open && reads < 4096; ++reads) {
    pollfd entry{pipeRead, POLLIN, 0};
    if (poll(&entry, 1, 0) <= 0) break;
    open = readReady(pipeRead, 0, result.output);
  }
  return status;
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  int fds[2];
  if (argv.empty() || pipe2(fds, O_CLOEXEC) != 0) return result;
  const pid_t pid = spawnWithPipe(argv, options, fds[1]);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    result.output = "cannot start " + argv[0];
    return result;
  }
  const int status = collect(pid, fds[0], options, result);
  close(fds[0]);
  result.exitCode = exitCodeOf(status);
  return result;
}

}  // namespace plenwick

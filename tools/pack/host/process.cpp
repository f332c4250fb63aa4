#include "tools/pack/host/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>

#include "tools/pack/host/descendants.h"
#include "tools/pack/host/interrupts.h"

extern char** environ;

namespace plenwick {
namespace {

using Clock = std::chrono::steady_clock;

// Above the standard descriptors and kSecretDescriptor, so that moving one
// into place never overwrites another.
constexpr int kFirstSpareDescriptor = 10;

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

bool passedToTools(const std::string& name, const std::vector<std::string>& extra) {
  static const char* const kNames[] = {"PATH", "HOME", "LANG", "LANGUAGE", "TMPDIR", "TZ"};
  for (const char* known : kNames) {
    if (name == known) return true;
  }
  for (const std::string& known : extra) {
    if (name == known) return true;
  }
  return name.rfind("LC_", 0) == 0;
}

// A pipe whose read end (far from the low descriptors) holds `secret`; -1
// when the secret does not fit into a pipe at once.
int secretPipe(const std::string& secret) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  const int readEnd = fcntl(fds[0], F_DUPFD_CLOEXEC, kFirstSpareDescriptor);
  close(fds[0]);
  const bool written = secret.size() <= PIPE_BUF && write(fds[1], secret.data(), secret.size()) ==
                                                        static_cast<ssize_t>(secret.size());
  close(fds[1]);
  if (written) return readEnd;
  if (readEnd >= 0) close(readEnd);
  return -1;
}

void arrangeDescriptors(posix_spawn_file_actions_t* actions, const ProcessOptions& options,
                        int pipeWrite, int secretRead) {
  posix_spawn_file_actions_adddup2(actions, pipeWrite, 1);
  posix_spawn_file_actions_adddup2(actions, pipeWrite, 2);
  if (secretRead >= 0) posix_spawn_file_actions_adddup2(actions, secretRead, kSecretDescriptor);
  posix_spawn_file_actions_addopen(actions, 0, "/dev/null", O_RDONLY, 0);
  // Whatever else the packer holds open (and what its caller passed on) stays here.
  posix_spawn_file_actions_addclosefrom_np(actions, secretRead >= 0 ? kSecretDescriptor + 1 : 3);
  if (!options.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(actions, options.workingDirectory.c_str());
  }
}

// A group of its own, all signals unblocked (the packer blocks the
// interrupts for its handler thread) and handled the default way.
void arrangeAttributes(posix_spawnattr_t* attributes) {
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setflags(attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(attributes, 0);
  posix_spawnattr_setsigmask(attributes, &none);
  posix_spawnattr_setsigdefault(attributes, &all);
}

pid_t spawnWithPipe(const std::vector<std::string>& argv, const ProcessOptions& options,
                    int pipeWrite, int secretRead) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  arrangeDescriptors(&actions, options, pipeWrite, secretRead);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  arrangeAttributes(&attributes);
  std::vector<char*> args = pointers(argv);
  const std::vector<std::string> environment =
      options.environment.empty() ? toolEnvironment() : options.environment;
  std::vector<char*> env = pointers(environment);
  pid_t pid = -1;
  // An interrupt waits until the child's group is registered, so none escapes.
  const InterruptDeferral deferral;
  if (posix_spawn(&pid, args[0], &actions, &attributes, args.data(), env.data()) == 0) {
    trackChildGroup(pid);
  } else {
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

// Whether the child has ended; it stays unreaped, so its pid (and the id of
// its group) cannot be taken by another process before the group is killed.
bool hasEnded(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
         info.si_pid == pid;
}

// Kills the child's group and every other descendant left behind, then
// reaps the child; returns its wait status.
int endRun(pid_t pid, pid_t spared) {
  {
    const InterruptDeferral deferral;
    kill(-pid, SIGKILL);
    forgetChildGroup(pid);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const InterruptDeferral deferral;
  killDescendants(spared);
  return status;
}

// Collects the output until the process has ended, never past the time
// limit; returns the process's wait status.
int collect(pid_t pid, int pipeRead, const ProcessOptions& options, ProcessResult& result) {
  const auto deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
  bool open = true;
  for (;;) {
    if (open) {
      open = readReady(pipeRead, 200, result.output);
    } else {
      poll(nullptr, 0, 50);
    }
    if (hasEnded(pid)) break;
    if (options.timeoutSeconds > 0 && !result.timedOut && Clock::now() > deadline) {
      result.timedOut = true;
      kill(-pid, SIGKILL);
    }
  }
  const int status = endRun(pid, options.spared);
  // What the process wrote before it ended is in the pipe now; read what is
  // there, which is all there will be: no writer is left.
  for (int reads = 0; open && reads < 4096; ++reads) {
    pollfd entry{pipeRead, POLLIN, 0};
    if (poll(&entry, 1, 0) <= 0) break;
    open = readReady(pipeRead, 0, result.output);
  }
  return status;
}

}  // namespace

std::vector<std::string> toolEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> kept;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos && passedToTools(text.substr(0, equals), extra)) {
      kept.push_back(text);
    }
  }
  return kept;
}

pid_t startBackground(const std::vector<std::string>& argv, int outputFd, int passedFd) {
  if (argv.empty()) return -1;
  becomeChildSubreaper();
  return spawnWithPipe(argv, ProcessOptions(), outputFd, passedFd);
}

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
  ProcessResult result;
  int fds[2];
  if (argv.empty() || pipe2(fds, O_CLOEXEC) != 0) return result;
  const int secretRead = options.secret ? secretPipe(*options.secret) : -1;
  if (options.secret && secretRead < 0) {
    close(fds[0]);
    close(fds[1]);
    result.output =
        "cannot hand a secret of more than " + std::to_string(PIPE_BUF) + " bytes to " + argv[0];
    return result;
  }
  becomeChildSubreaper();
  const pid_t pid = spawnWithPipe(argv, options, fds[1], secretRead);
  close(fds[1]);
  if (secretRead >= 0) close(secretRead);
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

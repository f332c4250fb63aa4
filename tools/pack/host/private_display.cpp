#include "tools/pack/host/private_display.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <vector>

#include "tools/pack/host/interrupts.h"
#include "tools/pack/host/process.h"

namespace plenwick {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStartSeconds = 20;
constexpr int kStopMillis = 3000;
constexpr std::size_t kCookieBytes = 16;

// One Xauthority entry: two bytes of length before each field. The wild
// family and an empty display number match whatever display the server gets.
std::string authorityEntry(const std::string& cookie) {
  const auto field = [](const std::string& value) {
    return std::string{static_cast<char>(value.size() >> 8),
                       static_cast<char>(value.size() & 0xff)} +
           value;
  };
  return std::string("\xff\xff", 2) + field("") + field("") + field("MIT-MAGIC-COOKIE-1") +
         field(cookie);
}

bool writeAuthority(const std::string& path, std::string* err) {
  std::string cookie(kCookieBytes, '\0');
  if (getrandom(cookie.data(), cookie.size(), 0) != static_cast<ssize_t>(cookie.size())) {
    *err = std::string("cannot make a cookie for Xvfb: ") + std::strerror(errno);
    return false;
  }
  const std::string entry = authorityEntry(cookie);
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  const bool written =
      fd >= 0 && write(fd, entry.data(), entry.size()) == static_cast<ssize_t>(entry.size());
  if (fd >= 0) close(fd);
  if (!written) *err = "cannot write " + path + ": " + std::strerror(errno);
  return written;
}

// The display number Xvfb writes (with a newline) once it takes connections.
bool readDisplayNumber(int fd, std::string* number) {
  const auto deadline = Clock::now() + std::chrono::seconds(kStartSeconds);
  std::string text;
  while (text.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd entry{fd, POLLIN, 0};
    if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[64];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return false;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  *number = text.substr(0, text.find('\n'));
  return !number->empty() && number->find_first_not_of("0123456789") == std::string::npos;
}

// Through syscall(): glibc 2.36 declares these without C linkage for C++.
int openPidfd(pid_t pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

int signalPidfd(int pidfd, int signal) {
  return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
}

std::string lastLineOf(const std::string& path) {
  std::ifstream log(path);
  std::string line, last;
  while (std::getline(log, line)) {
    if (!line.empty()) last = line;
  }
  return last.empty() ? "it wrote nothing" : last;
}

}  // namespace

bool PrivateDisplay::start(const std::string& xvfb, const std::string& folder, std::string* err) {
  authority_ = folder + "/xvfb.auth";
  const std::string log = folder + "/xvfb.log";
  if (!writeAuthority(authority_, err)) return false;
  const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  int fds[2];
  if (logFd < 0 || pipe2(fds, O_CLOEXEC) != 0) {
    *err = "cannot prepare Xvfb's log and pipe: " + std::string(std::strerror(errno));
    if (logFd >= 0) close(logFd);
    return false;
  }
  pid_ = startBackground({xvfb, "-displayfd", "3", "-nolisten", "tcp", "-auth", authority_,
                          "-noreset", "-screen", "0", "1280x1024x24"},
                         logFd, fds[1]);
  close(logFd);
  close(fds[1]);
  if (pid_ >= 0) pidfd_ = openPidfd(pid_);
  std::string number;
  const bool ready = pidfd_ >= 0 && readDisplayNumber(fds[0], &number);
  close(fds[0]);
  if (!ready) {
    stop();
    *err = "Xvfb did not start: " + lastLineOf(log);
    return false;
  }
  name_ = ":" + number;
  return true;
}

void PrivateDisplay::stop() {
  if (pid_ < 0) return;
  forgetChildGroup(pid_);
  if (pidfd_ >= 0) {
    // Through the pidfd: the sweep after a run may have reaped an Xvfb that
    // ended on its own, and its pid may belong to another process by now.
    pollfd entry{pidfd_, POLLIN, 0};
    if (signalPidfd(pidfd_, SIGTERM) == 0 && poll(&entry, 1, kStopMillis) <= 0) {
      signalPidfd(pidfd_, SIGKILL);
    }
    siginfo_t info{};
    while (waitid(P_PIDFD, static_cast<id_t>(pidfd_), &info, WEXITED) < 0 && errno == EINTR) {
    }
    close(pidfd_);
  } else {
    kill(pid_, SIGKILL);  // not reaped yet: nothing else waited while this one did
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  pid_ = -1;
  pidfd_ = -1;
}

}  // namespace plenwick

// Running the host's tools (jlink, jdeps, openssl, osslsigncode, wixl) and a
// training run of a packed launcher.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace plenwick {

struct ProcessResult {
  int exitCode = -1;  // 128 + signal when killed by one; -1 when it did not start
  bool timedOut = false;
  std::string output;  // standard output and standard error together
};

// The descriptor on which a child reads ProcessOptions::secret.
constexpr int kSecretDescriptor = 3;

struct ProcessOptions {
  int timeoutSeconds = 0;        // positive: killed with SIGKILL after that long
  std::string workingDirectory;  // empty: the caller's
  // Empty: toolEnvironment(); otherwise exactly these NAME=value entries.
  std::vector<std::string> environment;
  // Given: the read end of a pipe that holds it is the child's descriptor
  // kSecretDescriptor, so it appears in neither the arguments nor the environment.
  std::optional<std::string> secret;
  // A child of the packer's started with startBackground() that outlives the
  // run: the sweep of descendants at its end leaves it alone.
  pid_t spared = -1;
};

// The part of the packer's environment a tool needs: PATH, HOME, LANG,
// LANGUAGE, LC_*, TMPDIR, TZ, and the variables named in `extra`.
std::vector<std::string> toolEnvironment(const std::vector<std::string>& extra = {});

// Runs `argv` (argv[0] is the program's path) and waits for it. The child
// runs in a process group of its own with standard input from /dev/null, no
// other descriptor of the packer, and default signal handling. Once it has
// ended (or at the time limit) its group is killed, and so is every other
// descendant left behind, also one that left the group (setsid): nothing
// outlives the run or keeps the packer waiting on the output. Runs one
// child at a time.
ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// Starts `argv` like runProcess but returns at once: standard output and
// error go to `outputFd`, `passedFd` is its descriptor 3. The group is
// registered for interrupts; the caller ends it (forgetChildGroup first) and
// reaps it. Returns its pid, or -1 when it did not start.
pid_t startBackground(const std::vector<std::string>& argv, int outputFd, int passedFd);

}  // namespace plenwick

// Running the JDK's tools (jlink, jdeps) and a training run of a packed launcher.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

struct ProcessResult {
  int exitCode = -1;  // 128 + signal when killed by one; -1 when it did not start
  bool timedOut = false;
  std::string output;  // standard output and standard error together
};

struct ProcessOptions {
  int timeoutSeconds = 0;        // positive: killed with SIGKILL after that long
  std::string workingDirectory;  // empty: the caller's
  // Empty: the caller's environment; otherwise exactly these NAME=value entries.
  std::vector<std::string> environment;
  // Run in a process group of its own. At the time limit, and once the process
  // itself has ended, the whole group is killed, so a left-over child can
  // neither outlive the packer nor keep it waiting on the output pipe.
  bool ownProcessGroup = false;
};

// Runs `argv` (argv[0] is the program's path) with standard input from
// /dev/null and waits for it.
ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

}  // namespace plenwick

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

// Runs `argv` (argv[0] is the program's path) with standard input from
// /dev/null. A positive `timeoutSeconds` ends the process with SIGKILL after
// that long.
ProcessResult runProcess(const std::vector<std::string>& argv, int timeoutSeconds = 0);

}  // namespace plenwick

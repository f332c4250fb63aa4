#include "tools/pack/host/external_tool.h"

#include <vector>

#include "tools/pack/host/tool_paths.h"

namespace plenwick {

bool findTool(const std::string& program, const std::string& package, std::string* path,
              std::string* err) {
  *path = findOnPath(program);
  if (!path->empty()) return true;
  *err = program + " is not installed: install the Debian package " + package +
         " (apt-get install " + package + ")";
  return false;
}

bool runHostTool(const std::string& program, const std::string& package,
                 std::vector<std::string> args, const std::string& cwd, ProcessResult* run,
                 std::string* err, const std::vector<std::string>& assignments) {
  std::string path;
  if (!findTool(program, package, &path, err)) return false;
  args.insert(args.begin(), path);
  ProcessOptions options;
  options.timeoutSeconds = 600;
  options.workingDirectory = cwd;
  options.environment = toolEnvironment();
  options.environment.insert(options.environment.end(), assignments.begin(), assignments.end());
  *run = runProcess(args, options);
  if (run->exitCode == 0) return true;
  *err = program + " failed: " +
         (run->timedOut ? std::string("stopped after the time limit") : outputTail(run->output));
  return false;
}

std::string outputTail(const std::string& output, int lines) {
  std::vector<std::string> kept;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) kept.push_back(line);
    start = end + 1;
  }
  std::string out;
  const std::size_t first = kept.size() > std::size_t(lines) ? kept.size() - lines : 0;
  for (std::size_t i = first; i < kept.size(); ++i) out += (out.empty() ? "" : "\n  ") + kept[i];
  return out;
}

}  // namespace plenwick

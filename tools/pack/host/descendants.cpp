#include "tools/pack/host/descendants.h"

#include <dirent.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <string>

namespace plenwick {
namespace {

constexpr int kSweepRounds = 500;
constexpr useconds_t kSweepPauseMicros = 10000;

// Reaps every child that has ended; true when one was.
bool reapEnded() {
  bool reaped = false;
  while (waitpid(-1, nullptr, WNOHANG | __WALL) > 0) reaped = true;
  return reaped;
}

}  // namespace

void becomeChildSubreaper() {
  prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
}

std::vector<pid_t> childrenOfThisProcess() {
  std::vector<pid_t> children;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return children;
  while (const dirent* task = readdir(tasks)) {
    if (task->d_name[0] == '.') continue;
    std::ifstream list(std::string("/proc/self/task/") + task->d_name + "/children");
    for (pid_t pid = 0; list >> pid;) children.push_back(pid);
  }
  closedir(tasks);
  return children;
}

void killDescendants(pid_t spared) {
  for (int round = 0; round < kSweepRounds; ++round) {
    std::vector<pid_t> children = childrenOfThisProcess();
    children.erase(std::remove(children.begin(), children.end(), spared), children.end());
    if (children.empty()) return;
    for (const pid_t child : children) kill(child, SIGKILL);
    if (!reapEnded()) usleep(kSweepPauseMicros);
  }
}

}  // namespace plenwick

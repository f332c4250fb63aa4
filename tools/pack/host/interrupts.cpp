#include "tools/pack/host/interrupts.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "tools/pack/host/descendants.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr int kRemovalRounds = 200;
constexpr useconds_t kRemovalPauseMicros = 10000;

// Recursive: a step under a deferral may call another that takes one. Never
// destroyed, like the registry: the handler may use both while the process exits.
std::recursive_mutex& registryLock() {
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

struct Registry {
  std::map<const std::string*, const std::vector<std::string>*> stagings;
  std::set<pid_t> groups;
};

Registry& registry() {
  static auto* r = new Registry;
  return *r;
}

sigset_t interruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
  return set;
}

// The main thread may still be writing into the folder (it runs on until it
// next takes a deferral), so removal is repeated until the folder is gone.
void removeUntilGone(const std::string& folder) {
  struct stat info;
  for (int round = 0; round < kRemovalRounds && lstat(folder.c_str(), &info) == 0; ++round) {
    std::error_code code;
    fs::remove_all(folder, code);
    if (code) usleep(kRemovalPauseMicros);
  }
}

// Never returns: the lock is kept, so no other thread starts a child or
// makes a staging folder again before the process exits.
[[noreturn]] void stopEverything(int signal) {
  registryLock().lock();
  const Registry& r = registry();
  for (const pid_t group : r.groups) kill(-group, SIGKILL);
  killDescendants();
  for (const auto& [folder, parents] : r.stagings) {
    if (!folder->empty()) removeUntilGone(*folder);
    // Only folders this run made, and only while they are still empty.
    for (const std::string& parent : *parents) rmdir(parent.c_str());
  }
  _exit(128 + signal);
}

void waitForInterrupt() {
  const sigset_t set = interruptSignals();
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) == 0) stopEverything(signal);
  }
}

}  // namespace

bool handleInterrupts(std::string* err) {
  const sigset_t set = interruptSignals();
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) {
    *err = "cannot block the interrupt signals";
    return false;
  }
  becomeChildSubreaper();
  try {
    std::thread(waitForInterrupt).detach();
  } catch (const std::system_error& e) {
    *err = std::string("cannot start the thread that handles interrupts: ") + e.what();
    return false;
  }
  return true;
}

void settleInterrupts() {
  registryLock().lock();
}

InterruptDeferral::InterruptDeferral() {
  registryLock().lock();
}

InterruptDeferral::~InterruptDeferral() {
  registryLock().unlock();
}

void trackStaging(const std::string* folder, const std::vector<std::string>* parents) {
  const InterruptDeferral deferral;
  registry().stagings[folder] = parents;
}

void forgetStaging(const std::string* folder) {
  const InterruptDeferral deferral;
  registry().stagings.erase(folder);
}

void trackChildGroup(pid_t group) {
  const InterruptDeferral deferral;
  registry().groups.insert(group);
}

void forgetChildGroup(pid_t group) {
  const InterruptDeferral deferral;
  registry().groups.erase(group);
}

}  // namespace plenwick

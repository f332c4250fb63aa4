// SIGINT, SIGTERM and SIGHUP: the packer's children and staging folders are
// registered here, so that an interrupt ends every descendant and removes
// every staging folder (and the parent folders made for it) before the
// packer exits with 128 + the signal's number.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace plenwick {

// Blocks the three signals and starts the thread that waits for them. Call
// it first in main, before any other thread exists: threads made later
// inherit the blocked signals.
bool handleInterrupts(std::string* err);

// Called last in main: an interrupt being handled ends the process (this
// waits for it); one that comes later waits while the process exits.
void settleInterrupts();

// While one lives, an interrupt waits, so what is registered stays in step
// with the disk and the children. Once an interrupt is being handled, making
// one stops the calling thread for good (the process is about to exit).
// Hold it only for short steps: never while waiting for a child.
class InterruptDeferral {
 public:
  InterruptDeferral();
  ~InterruptDeferral();
  InterruptDeferral(const InterruptDeferral&) = delete;
  InterruptDeferral& operator=(const InterruptDeferral&) = delete;
};

// A staging folder and the parent folders made for it (outermost last), read
// when an interrupt comes. The owner changes them only under a deferral,
// and forgets them before they go away.
void trackStaging(const std::string* folder, const std::vector<std::string>* parents);
void forgetStaging(const std::string* folder);

// A running child's process group (its leader's pid). Under a deferral: from
// before the child is started until its group is killed.
void trackChildGroup(pid_t group);
void forgetChildGroup(pid_t group);

}  // namespace plenwick

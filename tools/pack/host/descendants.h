// The packer's descendants: a child started with setsid leaves its parent's
// process group, but while the packer is a child subreaper it still comes
// back to the packer once its parent is gone, and can be ended from here.
#pragma once

#include <sys/types.h>

#include <vector>

namespace plenwick {

// Makes orphaned descendants children of this process (PR_SET_CHILD_SUBREAPER).
void becomeChildSubreaper();

// The children of every thread of this process, from /proc.
std::vector<pid_t> childrenOfThisProcess();

// Kills and reaps children until none is left, so that orphans of killed
// ones, reparented here, go too; `spared` (when a child) is left running.
// Gives up after about five seconds (a child that forks faster than it is
// killed).
void killDescendants(pid_t spared = -1);

}  // namespace plenwick

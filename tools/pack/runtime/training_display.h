// The display a training run shows its windows on, so that a GUI application
// trains on a build machine too.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tools/pack/host/private_display.h"

namespace plenwick {

class TrainingDisplay {
 public:
  // The user's display when DISPLAY is set; else a private Xvfb when one is
  // on the PATH (its files in `folder`); else none, as for a console
  // application. Returns a warning when Xvfb is there but did not start.
  std::string open(const std::string& folder);

  // DISPLAY and XAUTHORITY for the run's environment; empty without a display.
  const std::vector<std::string>& environment() const { return environment_; }
  // For the step line: " on a private Xvfb display :N", or empty.
  const std::string& description() const { return description_; }
  // The private server's pid, spared by the sweep after the run; -1 when none.
  pid_t server() const { return xvfb_.pid(); }

 private:
  PrivateDisplay xvfb_;
  std::vector<std::string> environment_;
  std::string description_;
};

}  // namespace plenwick

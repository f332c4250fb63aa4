// A private X server for a training run on a machine without a display:
// Xvfb on a display number it picks itself, reachable through its local
// socket only, with a cookie of its own.
#pragma once

#include <sys/types.h>

#include <string>

namespace plenwick {

class PrivateDisplay {
 public:
  PrivateDisplay() = default;
  PrivateDisplay(const PrivateDisplay&) = delete;
  PrivateDisplay& operator=(const PrivateDisplay&) = delete;
  ~PrivateDisplay() { stop(); }

  // Starts `xvfb` with its cookie and its log in `folder` (private to the
  // run) and waits until it takes connections; false with the reason.
  bool start(const std::string& xvfb, const std::string& folder, std::string* err);
  // Ends the server: SIGTERM first, so that it removes its lock file, then
  // SIGKILL; and reaps it. Does nothing when it is not running.
  void stop();

  pid_t pid() const { return pid_; }
  const std::string& name() const { return name_; }            // ":N", for DISPLAY
  const std::string& authority() const { return authority_; }  // for XAUTHORITY

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;
  std::string name_, authority_;
};

}  // namespace plenwick

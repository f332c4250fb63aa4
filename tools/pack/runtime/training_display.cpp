#include "tools/pack/runtime/training_display.h"

#include <cstdlib>

#include "tools/pack/host/tool_paths.h"

namespace plenwick {
namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

}  // namespace

std::string TrainingDisplay::open(const std::string& folder) {
  const std::string display = variable("DISPLAY");
  if (!display.empty()) {
    // The run has a home of its own, where Xlib would look for the cookie.
    std::string authority = variable("XAUTHORITY");
    if (authority.empty() && !variable("HOME").empty())
      authority = variable("HOME") + "/.Xauthority";
    environment_ = {"DISPLAY=" + display, "XAUTHORITY=" + authority};
    return "";
  }
  const std::string xvfb = findOnPath("Xvfb");
  if (xvfb.empty()) return "";
  std::string error;
  if (!xvfb_.start(xvfb, folder, &error)) {
    return error + "; the training run has no display, so a GUI application cannot show a window";
  }
  environment_ = {"DISPLAY=" + xvfb_.name(), "XAUTHORITY=" + xvfb_.authority()};
  description_ = " on a private Xvfb display " + xvfb_.name();
  return "";
}

}  // namespace plenwick

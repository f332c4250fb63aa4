// A reporter for tests: keeps every line it is given, in order, as
// "note: ...", "warning: ...", "step: ..." and "done: ..." / "failed: ...".
#pragma once

#include <string>
#include <vector>

#include "tools/pack/host/reporter.h"

namespace plenwick {

class RecordingReporter : public Reporter {
 public:
  std::vector<std::string> lines;
  std::vector<double> seconds;  // of each step, as it ended

  void note(const std::string& text) override { lines.push_back("note: " + text); }
  void warning(const std::string& text) override { lines.push_back("warning: " + text); }

 protected:
  void started(const std::string& text) override { lines.push_back("step: " + text); }
  void finished(const std::string& text, double elapsed, bool ok) override {
    lines.push_back((ok ? "done: " : "failed: ") + text);
    seconds.push_back(elapsed);
  }
};

}  // namespace plenwick

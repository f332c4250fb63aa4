// The terminal's reporter: notes and steps on standard output, warnings on
// standard error; quiet keeps none of them (errors are the command's own).
#pragma once

#include <string>

#include "tools/pack/host/reporter.h"

namespace plenwick {

class ConsoleReporter : public Reporter {
 public:
  explicit ConsoleReporter(bool quiet) : quiet_(quiet) {}
  ~ConsoleReporter() override;

  void note(const std::string& text) override;
  void warning(const std::string& text) override;

 protected:
  // "runtime: jlink ... " and, when nothing came between, "(12.3 s)" on the
  // same line; otherwise the step's text is said again with its time.
  void started(const std::string& text) override;
  void finished(const std::string& text, double seconds, bool ok) override;

 private:
  void closeLine();
  bool quiet_;
  std::string open_;  // the step whose line waits for its time
};

}  // namespace plenwick

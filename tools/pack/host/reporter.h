// How the packer's library code tells the user what it does: it never prints,
// it reports here, and the command decides what reaches the terminal. Every
// layer may include this; the reporter is passed down explicitly.
#pragma once

#include <chrono>
#include <string>

namespace plenwick {

class Reporter {
 public:
  virtual ~Reporter() = default;

  // Something the user may want to know ("AppCDS: off for runtime 17: ...").
  virtual void note(const std::string& text) = 0;
  // Something that is probably not what the user wants, but does not stop the run.
  virtual void warning(const std::string& text) = 0;

  // A step that may take a while (jlink, jdeps, a training run, wixl,
  // signing): said when it starts, and again with the time it took when the
  // returned Step ends.
  class Step {
   public:
    Step(Reporter* reporter, std::string text);
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
    ~Step();
    // Ends the step as succeeded or not; returns `ok`. A step left without
    // end() ends as failed.
    bool end(bool ok);

   private:
    Reporter* reporter_;
    std::string text_;
    std::chrono::steady_clock::time_point start_;
    bool ended_ = false;
  };
  Step step(const std::string& text) { return Step(this, text); }

 protected:
  virtual void started(const std::string& text) = 0;
  virtual void finished(const std::string& text, double seconds, bool ok) = 0;
};

}  // namespace plenwick

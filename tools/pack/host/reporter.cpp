#include "tools/pack/host/reporter.h"

#include <utility>

namespace plenwick {

Reporter::Step::Step(Reporter* reporter, std::string text)
    : reporter_(reporter), text_(std::move(text)), start_(std::chrono::steady_clock::now()) {
  reporter_->started(text_);
}

Reporter::Step::~Step() {
  end(false);
}

bool Reporter::Step::end(bool ok) {
  if (ended_) return ok;
  ended_ = true;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  reporter_->finished(text_, elapsed.count(), ok);
  return ok;
}

}  // namespace plenwick

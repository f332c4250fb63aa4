#include "tools/pack/cli/console_reporter.h"

#include <cstdio>

namespace plenwick {
namespace {

std::string elapsed(double seconds, bool ok) {
  char text[48];
  std::snprintf(text, sizeof text, "(%s%.1f s)", ok ? "" : "failed after ", seconds);
  return text;
}

}  // namespace

ConsoleReporter::~ConsoleReporter() {
  closeLine();
}

void ConsoleReporter::closeLine() {
  if (open_.empty()) return;
  std::fputc('\n', stdout);
  std::fflush(stdout);
  open_.clear();
}

void ConsoleReporter::note(const std::string& text) {
  if (quiet_) return;
  closeLine();
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

void ConsoleReporter::warning(const std::string& text) {
  if (quiet_) return;
  closeLine();
  std::fprintf(stderr, "warning: %s\n", text.c_str());
}

void ConsoleReporter::started(const std::string& text) {
  if (quiet_) return;
  closeLine();
  std::printf("%s ", text.c_str());
  std::fflush(stdout);
  open_ = text;
}

void ConsoleReporter::finished(const std::string& text, double seconds, bool ok) {
  if (quiet_) return;
  if (open_ == text) {
    std::printf("%s\n", elapsed(seconds, ok).c_str());
    open_.clear();
  } else {
    closeLine();
    std::printf("%s %s\n", text.c_str(), elapsed(seconds, ok).c_str());
  }
  std::fflush(stdout);
}

}  // namespace plenwick

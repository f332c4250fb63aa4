// An exception escaping the entry point, end to end with the real JVM.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

const std::string kCaption = "The application has experienced an internal error and must quit.";
const std::string kTrace = "java.lang.IllegalStateException: probe failure\n\tat probe.Probe.main";
const std::string kCause = "Caused by: java.io.IOException: root cause";
const std::string kThreadTrace = "java.lang.IllegalStateException: thrown while a thread runs";
const std::string kUnicode = "Grüße ☃ 😀";
const std::string kStopped = "The application stopped because of an unexpected error";

using Report = AppImageTest;

// Standard error: the parts in order, then the box's caption and text (GUI only).
TEST_F(Report, UncaughtExceptionEndsWithExitCodeOne) {
  const std::string probe =
      ": java.lang.IllegalStateException: probe failure (caused by "
      "java.io.IOException: root cause).";
  const struct {
    bool consoleApp;
    const char* variant;  // the misbehaving fromException; null: the real bootstrap jar
    const char* mode;     // the probe's argument
    std::vector<std::string> errParts;
    std::string box;
  } cases[] = {
      {true, nullptr, "throw", {kTrace, kCause}, ""},
      {false, nullptr, "throw", {kTrace, kCause}, kStopped + probe},
      {false, "unicode", "throw", {kTrace}, kUnicode},
      {false, "throw", "throw", {"UnsupportedOperationException: fromException refuses"}, ""},
      {false, "null", "throw", {kTrace}, kStopped + "."},
      {false, nullptr, "throw-with-thread", {kThreadTrace}, kStopped + ": " + kThreadTrace + "."},
  };
  addJar(testJar("misbehaving-launcher.jar"), "misbehaving-launcher.jar");
  const LaunchConfig base = config;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " " + (c.variant ? c.variant : "") + c.box);
    config = base;
    config.consoleApp = c.consoleApp;
    if (c.variant != nullptr) {
      config.jvmOptions = {"-Djava.class.path=&&misbehaving-launcher.jar:&&probe.jar",
                           std::string("-Dreporting.fromException=") + c.variant};
    }
    const RunResult r = run({c.mode});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    // The non-daemon thread would print after a minute; the report cuts it short.
    EXPECT_EQ(r.out.find("thread finished"), std::string::npos) << r.out;
    std::size_t from = 0;
    for (const std::string& part : c.errParts) {
      from = r.err.find(part, from);
      ASSERT_NE(from, std::string::npos) << "missing, or out of order: " << part << "\n" << r.err;
    }
    const std::string tail = c.box.empty() ? "" : kCaption + "\n" + c.box + "\n";
    EXPECT_EQ(r.err.find(kCaption) != std::string::npos, !c.box.empty()) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), tail.size())), tail);
  }
}

}  // namespace
}  // namespace plenwick::e2e

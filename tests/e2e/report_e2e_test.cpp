// An exception escaping the entry point, and the application-data folder
// variables, end to end with the real JVM.
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
const std::string kStopped = "The application stopped because of an unexpected error";

using Report = AppImageTest;

TEST_F(Report, UncaughtExceptionEndsWithExitCodeOne) {
  const struct {
    const char* name;
    bool consoleApp;
    const char* fromException;  // the misbehaving variant; null: the real bootstrap jar
    const char* mode;           // the probe's argument
    int exitCode;
    std::vector<std::string> errParts;  // in this order
    std::string errTail;                // how standard error ends: the box's two lines
  } cases[] = {
      {"console app: trace only", true, nullptr, "throw", 1, {kTrace, kCause}, ""},
      {"GUI app: trace then box",
       false,
       nullptr,
       "throw",
       1,
       {kTrace, kCause},
       kCaption + "\n" + kStopped +
           ": java.lang.IllegalStateException: probe failure (caused by java.io.IOException: "
           "root cause).\n"},
      {"non-ASCII message",
       false,
       "unicode",
       "throw",
       1,
       {kTrace},
       kCaption + "\nGr\xC3\xBC\xC3\x9F"
                  "e \xE2\x98\x83 \xF0\x9F\x98\x80\n"},
      {"fromException throws: no box",
       false,
       "throw",
       "throw",
       1,
       {"java.lang.UnsupportedOperationException: fromException refuses on purpose"},
       ""},
      {"fromException returns null",
       false,
       "null",
       "throw",
       1,
       {kTrace},
       kCaption + "\n" + kStopped + ".\n"},
      {"a non-daemon thread does not hold the process",
       false,
       nullptr,
       "throw-with-thread",
       1,
       {kThreadTrace},
       kCaption + "\n" + kStopped + ": " + kThreadTrace + ".\n"},
      {"normal return: no box", false, nullptr, "args", 0, {}, ""},
  };
  const LaunchConfig base = config;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    config = base;
    config.consoleApp = c.consoleApp;
    if (c.fromException != nullptr) {
      addJar(testJar("reporting-launcher.jar"), "reporting-launcher.jar");
      config.jvmOptions = {"-Djava.class.path=&&reporting-launcher.jar:&&probe.jar",
                           std::string("-Dreporting.fromException=") + c.fromException};
    }
    const RunResult r = run({c.mode});
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    EXPECT_EQ(r.out.find("thread finished"), std::string::npos) << r.out;
    std::size_t from = 0;
    for (const std::string& part : c.errParts) {
      from = r.err.find(part, from);
      ASSERT_NE(from, std::string::npos) << "missing, or out of order: " << part << "\n" << r.err;
    }
    EXPECT_EQ(r.err.find(kCaption) != std::string::npos, c.errTail.find(kCaption) == 0) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), c.errTail.size())), c.errTail);
    if (c.exitCode == 0) {
      EXPECT_EQ(r.err, "");
    }
  }
}

// The application-data folder variables as Java sees them (the rules: the
// start-up and platform unit tables).
TEST_F(Report, FolderVariablesSeenByJava) {
  config.packageAppDataVars = true;
  config.appArguments = {
      "env",          "PACKAGE_LOCALAPPDATA", "PACKAGE_APPDATA", "USER_LOCALAPPDATA",
      "USER_APPDATA", "LOCALAPPDATA",         "APPDATA"};
  const RunResult r = run({}, {{"XDG_DATA_HOME", "/x/d"},
                               {"XDG_CONFIG_HOME", "/x/c"},
                               {"LOCALAPPDATA", "/p/l"},
                               {"PACKAGE_APPDATA", std::nullopt}});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "PACKAGE_LOCALAPPDATA=/x/d\nPACKAGE_APPDATA=/x/c\nUSER_LOCALAPPDATA=/x/d\n"
            "USER_APPDATA=/x/c\nLOCALAPPDATA=/x/d\nAPPDATA=/x/c\n");
}

}  // namespace
}  // namespace plenwick::e2e

// An exception escaping the entry point, and the application-data folder
// variables, end to end with the real JVM.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

const std::string kCaption = "The application has experienced an internal error and must quit.";
const std::string kProbeMessage =
    "The application stopped because of an unexpected error: java.lang.IllegalStateException: "
    "probe failure (caused by java.io.IOException: root cause).";
const std::string kFallbackMessage = "The application stopped because of an unexpected error.";
const std::string kProbeTrace =
    "java.lang.IllegalStateException: probe failure\n\tat probe.Probe.main";

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct ReportCase {
  const char* name;
  bool consoleApp;
  const char* fromException;             // the variant's behaviour; null: the real bootstrap jar
  const char* mode;                      // the probe's argument
  std::optional<std::string> boxText;    // the box's two lines end standard error
  std::vector<std::string> errContains;  // in this order
  const char* errLacks;                  // null: nothing
};

template <typename... Parts>
std::vector<std::string> inOrder(const Parts&... parts) {
  return {std::string(parts)...};
}

void PrintTo(const ReportCase& c, std::ostream* os) {
  *os << c.name;
}

class Report : public AppImageTest, public ::testing::WithParamInterface<ReportCase> {
 protected:
  // Replaces the bootstrap class with the misbehaving variant.
  void useVariant(const char* behaviour) {
    addJar(testJar("reporting-launcher.jar"), "reporting-launcher.jar");
    config.jvmOptions = {"-Djava.class.path=&&reporting-launcher.jar:&&probe.jar",
                         std::string("-Dreporting.fromException=") + behaviour};
  }
};

// Each part must appear after the one before it.
void expectInOrder(const std::string& text, const std::vector<std::string>& parts) {
  std::size_t from = 0;
  for (const std::string& part : parts) {
    const std::size_t at = text.find(part, from);
    EXPECT_NE(at, std::string::npos) << "missing, or out of order: " << part << "\nin:\n" << text;
    if (at != std::string::npos) from = at + part.size();
  }
}

TEST_P(Report, EndsWithExitCodeOne) {
  const ReportCase& c = GetParam();
  config.consoleApp = c.consoleApp;
  if (c.fromException != nullptr) useVariant(c.fromException);
  const RunResult r = run({c.mode});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  // The non-daemon thread would print after a minute; the report cuts it short.
  EXPECT_FALSE(contains(r.out, "thread finished")) << r.out;
  expectInOrder(r.err, c.errContains);
  if (c.errLacks != nullptr) {
    EXPECT_FALSE(contains(r.err, c.errLacks)) << r.err;
  }
  if (c.boxText) {
    EXPECT_TRUE(endsWith(r.err, "\n" + kCaption + "\n" + *c.boxText + "\n")) << r.err;
  } else {
    EXPECT_FALSE(contains(r.err, kCaption)) << "no box expected:\n" << r.err;
  }
}

const char* const kCause = "Caused by: java.io.IOException: root cause";
const char* const kRefusal =
    "java.lang.UnsupportedOperationException: fromException refuses on purpose";
const char* const kThreadTrace = "java.lang.IllegalStateException: thrown while a thread runs";
const std::string kThreadMessage =
    "The application stopped because of an unexpected error: " + std::string(kThreadTrace) + ".";

INSTANTIATE_TEST_SUITE_P(
    Cases, Report,
    ::testing::Values(ReportCase{"ConsoleAppTraceOnly", true, nullptr, "throw", std::nullopt,
                                 inOrder(kProbeTrace, kCause), nullptr},
                      ReportCase{"GuiAppTraceThenBox", false, nullptr, "throw", kProbeMessage,
                                 inOrder(kProbeTrace, kCause, kCaption, kProbeMessage), nullptr},
                      ReportCase{"GuiAppNonAsciiMessage", false, "unicode", "throw",
                                 "Gr\xC3\xBC\xC3\x9F"
                                 "e \xE2\x98\x83 \xF0\x9F\x98\x80",
                                 inOrder(kProbeTrace), nullptr},
                      ReportCase{"GuiAppFromExceptionThrows", false, "throw", "throw", std::nullopt,
                                 inOrder(kRefusal), "probe failure"},
                      ReportCase{"GuiAppFromExceptionReturnsNull", false, "null", "throw",
                                 kFallbackMessage, inOrder(kProbeTrace, kCaption), nullptr},
                      ReportCase{"GuiAppNonDaemonThreadDoesNotHoldTheProcess", false, nullptr,
                                 "throw-with-thread", kThreadMessage, inOrder(kThreadTrace),
                                 nullptr}),
    [](const ::testing::TestParamInfo<ReportCase>& param) {
      return std::string(param.param.name);
    });

using ReportEnd = AppImageTest;

TEST_F(ReportEnd, NormalReturnShowsNoBox) {
  config.consoleApp = false;
  const RunResult r = run({"args"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

// The application-data folder variables, as Java sees them.
const std::vector<std::string> kFolderVariables = {"PACKAGE_LOCALAPPDATA", "PACKAGE_APPDATA",
                                                   "USER_LOCALAPPDATA",    "USER_APPDATA",
                                                   "LOCALAPPDATA",         "APPDATA"};

using Values = std::map<std::string, std::optional<std::string>>;
using Row = std::vector<std::optional<std::string>>;  // in kFolderVariables order

// "NAME=value" lines from the probe's env mode ("null" when unset).
Values parseValues(const std::string& out) {
  Values values;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string value = line.substr(equals + 1);
    values[line.substr(0, equals)] =
        value == "null" ? std::nullopt : std::optional<std::string>(value);
  }
  return values;
}

struct FolderCase {
  const char* name;
  bool packageAppDataVars;
  EnvChanges env;
  Row row;
  Values expected() const {
    Values values;
    for (std::size_t i = 0; i < kFolderVariables.size(); ++i) values[kFolderVariables[i]] = row[i];
    return values;
  }
};

void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << c.name;
}

class Folders : public AppImageTest, public ::testing::WithParamInterface<FolderCase> {
 protected:
  RunResult runProbe(const char* mode) {
    config.packageAppDataVars = GetParam().packageAppDataVars;
    config.appArguments = {mode};
    config.appArguments.insert(config.appArguments.end(), kFolderVariables.begin(),
                               kFolderVariables.end());
    return run({}, GetParam().env);
  }
};

TEST_P(Folders, SeenByJava) {
  const RunResult r = runProbe("env");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(parseValues(r.out), GetParam().expected()) << r.out;
}

const EnvChanges kXdg = {{"XDG_DATA_HOME", "/x/data"},
                         {"XDG_CONFIG_HOME", "/x/config"},
                         {"HOME", "/home/h"},
                         {"LOCALAPPDATA", "/parent/local"},
                         {"APPDATA", "/parent/roaming"},
                         {"PACKAGE_APPDATA", std::nullopt},
                         {"PACKAGE_LOCALAPPDATA", std::nullopt}};
const EnvChanges kNothing = {{"XDG_DATA_HOME", std::nullopt},
                             {"XDG_CONFIG_HOME", std::nullopt},
                             {"HOME", std::nullopt},
                             {"PACKAGE_LOCALAPPDATA", std::nullopt},
                             {"PACKAGE_APPDATA", "/inherited/package-roaming"},
                             {"USER_LOCALAPPDATA", std::nullopt},
                             {"USER_APPDATA", std::nullopt},
                             {"LOCALAPPDATA", "/parent/local"},
                             {"APPDATA", std::nullopt}};

const std::nullopt_t kUnset = std::nullopt;

INSTANTIATE_TEST_SUITE_P(Cases, Folders,
                         ::testing::Values(FolderCase{"XdgFlagSetOverwrites", true, kXdg,
                                                      Row{"/x/data", "/x/config", "/x/data",
                                                          "/x/config", "/x/data", "/x/config"}},
                                           FolderCase{
                                               "NoHomeLeavesEverythingAsInherited", true, kNothing,
                                               Row{kUnset, "/inherited/package-roaming", kUnset,
                                                   kUnset, "/parent/local", kUnset}}),
                         [](const ::testing::TestParamInfo<FolderCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace plenwick::e2e

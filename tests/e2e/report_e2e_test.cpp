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
  const char* fromException;  // the variant's behaviour; null: the real bootstrap jar
  std::vector<std::string> args;
  std::optional<std::string> boxText;    // the box's two lines end standard error
  std::vector<std::string> errContains;  // in this order
  std::vector<std::string> errLacks;
};

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
  const RunResult r = run(c.args);
  EXPECT_EQ(r.exitCode, 1) << r.err;
  expectInOrder(r.err, c.errContains);
  for (const std::string& part : c.errLacks) EXPECT_FALSE(contains(r.err, part)) << r.err;
  if (c.boxText) {
    EXPECT_TRUE(endsWith(r.err, "\n" + kCaption + "\n" + *c.boxText + "\n")) << r.err;
  } else {
    EXPECT_FALSE(contains(r.err, kCaption)) << "no box expected:\n" << r.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Report,
    ::testing::Values(
        ReportCase{"ConsoleAppTraceOnly",
                   true,
                   nullptr,
                   {"throw"},
                   std::nullopt,
                   {kProbeTrace, "Caused by: java.io.IOException: root cause"},
                   {}},
        ReportCase{
            "GuiAppTraceThenBox",
            false,
            nullptr,
            {"throw"},
            kProbeMessage,
            {kProbeTrace, "Caused by: java.io.IOException: root cause", kCaption, kProbeMessage},
            {}},
        ReportCase{"GuiAppBoxShowsWhatFromExceptionReturned",
                   false,
                   "text",
                   {"throw"},
                   "variant text for java.lang.IllegalStateException: probe failure",
                   {kProbeTrace},
                   {}},
        ReportCase{"GuiAppNonAsciiMessage",
                   false,
                   "unicode",
                   {"throw"},
                   "Gr\xC3\xBC\xC3\x9F"
                   "e \xE2\x98\x83 \xF0\x9F\x98\x80",
                   {kProbeTrace},
                   {}},
        ReportCase{"GuiAppFromExceptionThrows",
                   false,
                   "throw",
                   {"throw"},
                   std::nullopt,
                   {"java.lang.UnsupportedOperationException: fromException refuses on purpose"},
                   {"probe failure"}},
        ReportCase{"ConsoleAppFromExceptionThrows",
                   true,
                   "throw",
                   {"throw"},
                   std::nullopt,
                   {"java.lang.UnsupportedOperationException: fromException refuses on purpose"},
                   {"probe failure"}},
        ReportCase{"GuiAppFromExceptionReturnsNull",
                   false,
                   "null",
                   {"throw"},
                   kFallbackMessage,
                   {kProbeTrace, kCaption},
                   {}},
        ReportCase{"ConsoleAppFromExceptionReturnsNull",
                   true,
                   "null",
                   {"throw"},
                   std::nullopt,
                   {kProbeTrace},
                   {}},
        ReportCase{"GuiAppNonDaemonThreadDoesNotHoldTheProcess",
                   false,
                   nullptr,
                   {"throw-with-thread"},
                   "The application stopped because of an unexpected error: "
                   "java.lang.IllegalStateException: thrown while a thread runs.",
                   {"java.lang.IllegalStateException: thrown while a thread runs"},
                   {}},
        ReportCase{"ConsoleAppNonDaemonThreadDoesNotHoldTheProcess",
                   true,
                   nullptr,
                   {"throw-with-thread"},
                   std::nullopt,
                   {"java.lang.IllegalStateException: thrown while a thread runs"},
                   {}}),
    [](const ::testing::TestParamInfo<ReportCase>& param) {
      return std::string(param.param.name);
    });

using ReportEnd = AppImageTest;

TEST_F(ReportEnd, NonDaemonThreadIsCutShortByTheReport) {
  // The thread would print after a minute; the process must not wait for it.
  const RunResult r = run({"throw-with-thread"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(contains(r.out, "thread finished")) << r.out;
}

TEST_F(ReportEnd, NormalReturnShowsNoBox) {
  config.consoleApp = false;
  const RunResult r = run({"args"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

// The application-data folder variables, as Java and a child process see them.
const std::vector<std::string> kFolderVariables = {"PACKAGE_LOCALAPPDATA", "PACKAGE_APPDATA",
                                                   "USER_LOCALAPPDATA",    "USER_APPDATA",
                                                   "LOCALAPPDATA",         "APPDATA"};

using Values = std::map<std::string, std::optional<std::string>>;

// "NAME=value" lines from the probe's env mode ("null" when unset), or
// "child NAME=value" / "child NAME unset" from its child-env mode.
Values parseValues(const std::string& out, const std::string& prefix) {
  Values values;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) != 0) continue;
    line = line.substr(prefix.size());
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) {
      const std::string value = line.substr(equals + 1);
      values[line.substr(0, equals)] =
          prefix.empty() && value == "null" ? std::nullopt : std::optional<std::string>(value);
    } else if (endsWith(line, " unset")) {
      values[line.substr(0, line.size() - 6)] = std::nullopt;
    }
  }
  return values;
}

struct FolderCase {
  const char* name;
  bool packageAppDataVars;
  EnvChanges env;
  Values expected;
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
  EXPECT_EQ(parseValues(r.out, ""), GetParam().expected) << r.out;
}

TEST_P(Folders, SeenByAChildProcess) {
  const RunResult r = runProbe("child-env");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(parseValues(r.out, "child "), GetParam().expected) << r.out;
}

const EnvChanges kXdg = {{"XDG_DATA_HOME", "/x/data"},
                         {"XDG_CONFIG_HOME", "/x/config"},
                         {"HOME", "/home/h"},
                         {"LOCALAPPDATA", "/parent/local"},
                         {"APPDATA", "/parent/roaming"},
                         {"PACKAGE_APPDATA", std::nullopt},
                         {"PACKAGE_LOCALAPPDATA", std::nullopt}};
const EnvChanges kHomeOnly = {{"XDG_DATA_HOME", std::nullopt},
                              {"XDG_CONFIG_HOME", ""},
                              {"HOME", "/home/h"},
                              {"LOCALAPPDATA", std::nullopt},
                              {"APPDATA", "/parent/roaming"}};
const EnvChanges kNothing = {{"XDG_DATA_HOME", std::nullopt},
                             {"XDG_CONFIG_HOME", std::nullopt},
                             {"HOME", std::nullopt},
                             {"PACKAGE_LOCALAPPDATA", std::nullopt},
                             {"PACKAGE_APPDATA", "/inherited/package-roaming"},
                             {"USER_LOCALAPPDATA", std::nullopt},
                             {"USER_APPDATA", std::nullopt},
                             {"LOCALAPPDATA", "/parent/local"},
                             {"APPDATA", std::nullopt}};

INSTANTIATE_TEST_SUITE_P(
    Cases, Folders,
    ::testing::Values(FolderCase{"XdgFlagClearKeepsParentValues",
                                 false,
                                 kXdg,
                                 {{"PACKAGE_LOCALAPPDATA", "/x/data"},
                                  {"PACKAGE_APPDATA", "/x/config"},
                                  {"USER_LOCALAPPDATA", "/x/data"},
                                  {"USER_APPDATA", "/x/config"},
                                  {"LOCALAPPDATA", "/parent/local"},
                                  {"APPDATA", "/parent/roaming"}}},
                      FolderCase{"XdgFlagSetOverwrites",
                                 true,
                                 kXdg,
                                 {{"PACKAGE_LOCALAPPDATA", "/x/data"},
                                  {"PACKAGE_APPDATA", "/x/config"},
                                  {"USER_LOCALAPPDATA", "/x/data"},
                                  {"USER_APPDATA", "/x/config"},
                                  {"LOCALAPPDATA", "/x/data"},
                                  {"APPDATA", "/x/config"}}},
                      FolderCase{"HomeDefaultsFlagClear",
                                 false,
                                 kHomeOnly,
                                 {{"PACKAGE_LOCALAPPDATA", "/home/h/.local/share"},
                                  {"PACKAGE_APPDATA", "/home/h/.config"},
                                  {"USER_LOCALAPPDATA", "/home/h/.local/share"},
                                  {"USER_APPDATA", "/home/h/.config"},
                                  {"LOCALAPPDATA", std::nullopt},
                                  {"APPDATA", "/parent/roaming"}}},
                      FolderCase{"HomeDefaultsFlagSet",
                                 true,
                                 kHomeOnly,
                                 {{"PACKAGE_LOCALAPPDATA", "/home/h/.local/share"},
                                  {"PACKAGE_APPDATA", "/home/h/.config"},
                                  {"USER_LOCALAPPDATA", "/home/h/.local/share"},
                                  {"USER_APPDATA", "/home/h/.config"},
                                  {"LOCALAPPDATA", "/home/h/.local/share"},
                                  {"APPDATA", "/home/h/.config"}}},
                      FolderCase{"NoHomeLeavesEverythingAsInherited",
                                 true,
                                 kNothing,
                                 {{"PACKAGE_LOCALAPPDATA", std::nullopt},
                                  {"PACKAGE_APPDATA", "/inherited/package-roaming"},
                                  {"USER_LOCALAPPDATA", std::nullopt},
                                  {"USER_APPDATA", std::nullopt},
                                  {"LOCALAPPDATA", "/parent/local"},
                                  {"APPDATA", std::nullopt}}}),
    [](const ::testing::TestParamInfo<FolderCase>& param) {
      return std::string(param.param.name);
    });

}  // namespace
}  // namespace plenwick::e2e

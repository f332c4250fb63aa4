#include "startup/known_folders.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/fake_platform.h"

namespace plenwick {

void PrintTo(const FakeEvent& event, std::ostream* os) {
  static const char* const kinds[] = {"query", "env", "debugA", "debugW", "stderr", "box"};
  *os << kinds[static_cast<int>(event.kind)] << "{" << event.first << " | " << event.second << "}";
}

namespace {

using Kind = FakeEvent::Kind;
using Events = std::vector<FakeEvent>;

constexpr const char* kCaption = "Error converting known folder path to environment variable";
constexpr uint32_t kAccessDenied = 0x80070005;
constexpr uint32_t kUnspecified = 0x80004005;
constexpr uint32_t kSuccessFalse = 1;

const char* const kPackageLocal = "C:\\Packages\\App\\Local";
const char* const kPackageRoaming = "C:\\Packages\\App\\Roaming";
const char* const kUserLocal = "C:\\Users\\u\\AppData\\Local";
const char* const kUserRoaming = "C:\\Users\\u\\AppData\\Roaming";

FakeEvent query(const char* variable, const char* how) {
  return {Kind::Query, variable, how};
}
FakeEvent set(const std::string& variable, const std::string& value) {
  return {Kind::SetEnvironment, variable + "=" + value, {}};
}
FakeEvent notFound(const std::string& variable) {
  return {Kind::DebugWide,
          "Could not find redirected " + variable +
              ". Virtualization might be off for that folder, ignoring.\n",
          {}};
}
// The three channels of the first unexpected failure, in their order.
Events reported(const std::string& text, const std::string& lineEnd = "\r\n") {
  return {{Kind::DebugNarrow, text, {}},
          {Kind::StandardError, text + lineEnd, {}},
          {Kind::ErrorBox, kCaption, text}};
}
Events join(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class KnownFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { knownFolderErrorShown = false; }
  void TearDown() override { knownFolderErrorShown = false; }
};

struct SingleCase {
  const char* name;
  uint32_t result;
  KnownFolder folder;
  bool redirected;
  const char* variable;
  Events expected;
  bool flagAfter;
};

TEST_F(KnownFolderTest, EachResultCodeHasItsOwnOutcome) {
  const SingleCase cases[] = {
      {"S_OK sets the redirected path",
       kFolderOk,
       KnownFolder::LocalAppData,
       true,
       "PACKAGE_LOCALAPPDATA",
       {query("PACKAGE_LOCALAPPDATA", "local redirected"),
        set("PACKAGE_LOCALAPPDATA", kPackageLocal)},
       false},
      {"S_OK sets the real path",
       kFolderOk,
       KnownFolder::RoamingAppData,
       false,
       "USER_APPDATA",
       {query("USER_APPDATA", "roaming real"), set("USER_APPDATA", kUserRoaming)},
       false},
      {"file not found: one wide debug line",
       kFolderFileNotFound,
       KnownFolder::LocalAppData,
       true,
       "PACKAGE_LOCALAPPDATA",
       {query("PACKAGE_LOCALAPPDATA", "local redirected"), notFound("PACKAGE_LOCALAPPDATA")},
       false},
      {"file not found words it the same when not redirected",
       kFolderFileNotFound,
       KnownFolder::RoamingAppData,
       false,
       "USER_APPDATA",
       {query("USER_APPDATA", "roaming real"), notFound("USER_APPDATA")},
       false},
      {"path not found is silent",
       kFolderPathNotFound,
       KnownFolder::RoamingAppData,
       true,
       "PACKAGE_APPDATA",
       {query("PACKAGE_APPDATA", "roaming redirected")},
       false},
      {"access denied is reported on three channels", kAccessDenied, KnownFolder::LocalAppData,
       false, "USER_LOCALAPPDATA",
       join({{query("USER_LOCALAPPDATA", "local real")}, reported("Error 0x80070005")}), true},
      {"a success code other than S_OK is a failure", kSuccessFalse, KnownFolder::LocalAppData,
       true, "LOCALAPPDATA",
       join({{query("LOCALAPPDATA", "local redirected")}, reported("Error 0x1")}), true},
      {"all bits set", 0xffffffffu, KnownFolder::RoamingAppData, true, "APPDATA",
       join({{query("APPDATA", "roaming redirected")}, reported("Error 0xffffffff")}), true},
      {"near miss of path not found", 0x80070004, KnownFolder::RoamingAppData, true, "APPDATA",
       join({{query("APPDATA", "roaming redirected")}, reported("Error 0x80070004")}), true},
      {"file-not-found without the HRESULT bits", 0x2, KnownFolder::RoamingAppData, true, "APPDATA",
       join({{query("APPDATA", "roaming redirected")}, reported("Error 0x2")}), true},
  };
  for (const SingleCase& c : cases) {
    SCOPED_TRACE(c.name);
    knownFolderErrorShown = false;
    FakePlatform platform;
    platform.folderResults = {c.result};
    exportKnownFolder(platform, c.folder, c.variable, c.redirected);
    EXPECT_EQ(platform.events, c.expected);
    EXPECT_EQ(knownFolderErrorShown, c.flagAfter);
  }
}

TEST_F(KnownFolderTest, FailureAfterTheFirstReportIsSilent) {
  const uint32_t codes[] = {kAccessDenied, kUnspecified, kSuccessFalse};
  for (uint32_t code : codes) {
    SCOPED_TRACE(code);
    knownFolderErrorShown = true;
    FakePlatform platform;
    platform.folderResults = {code};
    exportKnownFolder(platform, KnownFolder::LocalAppData, "PACKAGE_LOCALAPPDATA", true);
    EXPECT_EQ(platform.events, (Events{query("PACKAGE_LOCALAPPDATA", "local redirected")}));
    EXPECT_TRUE(knownFolderErrorShown);
  }
}

TEST_F(KnownFolderTest, ExpectedOutcomesStayQuietOnceTheFlagIsSet) {
  knownFolderErrorShown = true;
  FakePlatform platform;
  platform.folderResults = {kFolderOk, kFolderFileNotFound, kFolderPathNotFound};
  exportKnownFolder(platform, KnownFolder::LocalAppData, "A", true);
  exportKnownFolder(platform, KnownFolder::LocalAppData, "B", true);
  exportKnownFolder(platform, KnownFolder::LocalAppData, "C", true);
  EXPECT_EQ(platform.events, (Events{query("A", "local redirected"), set("A", kPackageLocal),
                                     query("B", "local redirected"), notFound("B"),
                                     query("C", "local redirected")}));
}

TEST_F(KnownFolderTest, StandardErrorUsesThePlatformsLineEnd) {
  FakePlatform platform(kPosixConventions);
  platform.folderResults = {kUnspecified};
  exportKnownFolder(platform, KnownFolder::LocalAppData, "USER_LOCALAPPDATA", false);
  EXPECT_EQ(platform.eventsOf(Kind::StandardError),
            (Events{{Kind::StandardError, "Error 0x80004005\n", {}}}));
}

struct StartupCase {
  const char* name;
  bool packageAppDataVars;
  std::deque<uint32_t> results;
  Events expected;
  const char* localAppData;  // LOCALAPPDATA afterwards
  const char* appData;       // APPDATA afterwards
};

const char* const kInheritedLocal = "C:\\Users\\u\\Inherited\\Local";
const char* const kInheritedRoaming = "C:\\Users\\u\\Inherited\\Roaming";

Events fourPrefixedVariables() {
  return {query("PACKAGE_LOCALAPPDATA", "local redirected"),
          set("PACKAGE_LOCALAPPDATA", kPackageLocal),
          query("PACKAGE_APPDATA", "roaming redirected"),
          set("PACKAGE_APPDATA", kPackageRoaming),
          query("USER_LOCALAPPDATA", "local real"),
          set("USER_LOCALAPPDATA", kUserLocal),
          query("USER_APPDATA", "roaming real"),
          set("USER_APPDATA", kUserRoaming)};
}

std::vector<StartupCase> startupCases() {
  return {
      {"four calls without the flag",
       false,
       {},
       fourPrefixedVariables(),
       kInheritedLocal,
       kInheritedRoaming},
      {"six calls with the flag",
       true,
       {},
       join({fourPrefixedVariables(),
             {query("LOCALAPPDATA", "local redirected"), set("LOCALAPPDATA", kPackageLocal),
              query("APPDATA", "roaming redirected"), set("APPDATA", kPackageRoaming)}}),
       kPackageLocal,
       kPackageRoaming},
      {"not virtualised: the usual names keep the inherited folders",
       true,
       {kFolderOk, kFolderOk, kFolderOk, kFolderOk, kFolderFileNotFound, kFolderPathNotFound},
       join({fourPrefixedVariables(),
             {query("LOCALAPPDATA", "local redirected"), notFound("LOCALAPPDATA"),
              query("APPDATA", "roaming redirected")}}),
       kInheritedLocal,
       kInheritedRoaming},
      {"a failure on the first call is reported once and the rest go on",
       true,
       {kAccessDenied, kUnspecified, kFolderOk, kFolderOk, kAccessDenied, kFolderOk},
       join({{query("PACKAGE_LOCALAPPDATA", "local redirected")},
             reported("Error 0x80070005"),
             {query("PACKAGE_APPDATA", "roaming redirected"),
              query("USER_LOCALAPPDATA", "local real"), set("USER_LOCALAPPDATA", kUserLocal),
              query("USER_APPDATA", "roaming real"), set("USER_APPDATA", kUserRoaming),
              query("LOCALAPPDATA", "local redirected"), query("APPDATA", "roaming redirected"),
              set("APPDATA", kPackageRoaming)}}),
       kInheritedLocal,
       kPackageRoaming},
      {"every query fails",
       false,
       {kUnspecified, kUnspecified, kUnspecified, kUnspecified},
       join({{query("PACKAGE_LOCALAPPDATA", "local redirected")},
             reported("Error 0x80004005"),
             {query("PACKAGE_APPDATA", "roaming redirected"),
              query("USER_LOCALAPPDATA", "local real"), query("USER_APPDATA", "roaming real")}}),
       kInheritedLocal,
       kInheritedRoaming},
  };
}

TEST_F(KnownFolderTest, StartupCallsInOrder) {
  for (const StartupCase& c : startupCases()) {
    SCOPED_TRACE(c.name);
    knownFolderErrorShown = false;
    FakePlatform platform;
    platform.environment = {{"LOCALAPPDATA", kInheritedLocal}, {"APPDATA", kInheritedRoaming}};
    platform.folderResults = c.results;
    exportKnownFolders(platform, c.packageAppDataVars);
    EXPECT_EQ(platform.events, c.expected);
    EXPECT_EQ(platform.folderResults.size(), 0u) << "every scripted query was made";
    EXPECT_STREQ(platform.getEnvironment("LOCALAPPDATA"), c.localAppData);
    EXPECT_STREQ(platform.getEnvironment("APPDATA"), c.appData);
  }
}

TEST_F(KnownFolderTest, OneReportPerProcessAcrossCalls) {
  FakePlatform first;
  first.folderResults = {kAccessDenied};
  exportKnownFolders(first, false);
  FakePlatform second;
  second.folderResults = {kUnspecified, kAccessDenied};
  exportKnownFolders(second, true);
  EXPECT_EQ(first.eventsOf(Kind::ErrorBox).size(), 1u);
  EXPECT_EQ(second.eventsOf(Kind::ErrorBox).size(), 0u);
  EXPECT_EQ(second.eventsOf(Kind::StandardError).size(), 0u);
  EXPECT_EQ(second.eventsOf(Kind::DebugNarrow).size(), 0u);
  EXPECT_EQ(second.eventsOf(Kind::Query).size(), 6u);
}

}  // namespace
}  // namespace plenwick

#include "startup/known_folders.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/fake_platform.h"

namespace plenwick {

void PrintTo(const FakeEvent& event, std::ostream* os) {
  static const char* const kinds[] = {"query", "env", "debugA", "debugW", "stderr", "box"};
  *os << kinds[static_cast<int>(event.kind)] << "{" << event.first << " | " << event.second << "}";
}

namespace {

using Kind = FakeEvent::Kind;
using Events = std::vector<FakeEvent>;

constexpr KnownFolder kLocal = KnownFolder::LocalAppData;
constexpr KnownFolder kRoaming = KnownFolder::RoamingAppData;
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
Events reported(const std::string& text) {
  return {{Kind::DebugNarrow, text, {}},
          {Kind::StandardError, text + "\r\n", {}},
          {Kind::ErrorBox, kCaption, text}};
}
// What follows a query of V: the path set, or the not-found line.
Events sets(const char* path) {
  return {set("V", path)};
}
Events logged() {
  return {notFound("V")};
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

// One query of variable V; `after` is what follows the query event.
TEST_F(KnownFolderTest, EachResultCodeHasItsOwnOutcome) {
  const struct {
    const char* name;
    bool shownBefore;  // an earlier failure was already reported
    uint32_t result;
    KnownFolder folder;
    bool redirected;
    Events after;
  } cases[] = {
      {"S_OK sets the redirected path", false, kFolderOk, kLocal, true, sets(kPackageLocal)},
      {"S_OK sets the real path", false, kFolderOk, kRoaming, false, sets(kUserRoaming)},
      {"file not found: one wide debug line", false, kFolderFileNotFound, kLocal, true, logged()},
      {"path not found is silent", false, kFolderPathNotFound, kRoaming, true, Events{}},
      {"access denied: three channels", false, kAccessDenied, kLocal, false,
       reported("Error 0x80070005")},
      {"a success code other than S_OK", false, kSuccessFalse, kLocal, true, reported("Error 0x1")},
      {"near miss of path not found", false, 0x80070004, kRoaming, true,
       reported("Error 0x80070004")},
      {"after a report: access denied is silent", true, kAccessDenied, kLocal, true, Events{}},
      {"after a report: S_OK still sets", true, kFolderOk, kLocal, true, sets(kPackageLocal)},
      {"after a report: file not found still logs", true, kFolderFileNotFound, kLocal, true,
       logged()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    knownFolderErrorShown = c.shownBefore;
    FakePlatform platform;
    platform.folderResults = {c.result};
    exportKnownFolder(platform, c.folder, "V", c.redirected);
    const std::string how = FakePlatform::queryText(c.folder, c.redirected);
    EXPECT_EQ(platform.events, join({{query("V", how.c_str())}, c.after}));
    const bool reportedNow = !c.after.empty() && c.after.back().kind == Kind::ErrorBox;
    EXPECT_EQ(knownFolderErrorShown, c.shownBefore || reportedNow);
  }
}

TEST_F(KnownFolderTest, StandardErrorUsesThePlatformsLineEnd) {
  FakePlatform platform(kPosixConventions);
  platform.folderResults = {kUnspecified};
  exportKnownFolder(platform, kLocal, "USER_LOCALAPPDATA", false);
  EXPECT_EQ(platform.standardError(), "Error 0x80004005\n");
}

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

TEST_F(KnownFolderTest, StartupCallsInOrder) {
  const struct {
    const char* name;
    bool packageAppDataVars;
    std::deque<uint32_t> results;
    Events expected;
    const char* localAppData;  // LOCALAPPDATA afterwards
    const char* appData;       // APPDATA afterwards
  } cases[] = {
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
  };
  for (const auto& c : cases) {
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

// The one-shot flag outlives a start-up call: a second call reports nothing.
TEST_F(KnownFolderTest, OneReportPerProcessAcrossCalls) {
  FakePlatform first;
  first.folderResults = {kAccessDenied};
  exportKnownFolders(first, false);
  FakePlatform second;
  second.folderResults = {kUnspecified, kAccessDenied};
  exportKnownFolders(second, true);
  EXPECT_EQ(first.standardError(), "Error 0x80070005\r\n");
  EXPECT_EQ(second.events.size(), 6u + 4u) << "six queries, four paths set, nothing reported";
}

}  // namespace
}  // namespace plenwick

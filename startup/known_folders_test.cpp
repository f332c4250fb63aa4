#include "startup/known_folders.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_platform.h"

namespace plenwick {
namespace {

constexpr uint32_t kDenied = 0x80070005;
constexpr uint32_t kUnspecified = 0x80004005;

std::string notFound(const std::string& variable) {
  return "debugW:Could not find redirected " + variable +
         ". Virtualization might be off for that folder, ignoring.\n";
}

// The three channels of the first unexpected failure, in their order.
std::string reported(const std::string& text) {
  return " | debugA:" + text + " | stderr:" + text +
         "\r\n | box:Error converting known folder path to environment variable|" + text;
}

std::string joined(const FakePlatform& platform) {
  std::string text;
  for (const std::string& line : platform.log) text += (text.empty() ? "" : " | ") + line;
  return text;
}

class KnownFolderTest : public ::testing::Test {
 protected:
  void SetUp() override { knownFolderErrorShown = false; }
};

TEST_F(KnownFolderTest, EachResultCodeHasItsOwnOutcome) {
  const KnownFolder local = KnownFolder::LocalAppData;
  const struct {
    bool shownBefore;  // an earlier failure was already reported
    uint32_t result;
    KnownFolder folder;
    bool redirected;
    std::string log;
  } cases[] = {
      {false, kFolderOk, local, true, "?V local+ | V=P\\Local"},
      {false, kFolderOk, KnownFolder::RoamingAppData, false, "?V roaming- | V=U\\Roaming"},
      {false, kFolderFileNotFound, local, true, "?V local+ | " + notFound("V")},
      {false, kFolderPathNotFound, local, true, "?V local+"},
      {false, kDenied, local, false, "?V local-" + reported("Error 0x80070005")},
      {false, 0x80070004, local, true, "?V local+" + reported("Error 0x80070004")},
      {true, kDenied, local, true, "?V local+"},
      {true, kFolderFileNotFound, local, true, "?V local+ | " + notFound("V")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    knownFolderErrorShown = c.shownBefore;
    FakePlatform platform;
    platform.folderResults = {c.result};
    exportKnownFolder(platform, c.folder, "V", c.redirected);
    EXPECT_EQ(joined(platform), c.log);
    EXPECT_EQ(knownFolderErrorShown, c.shownBefore || c.log.find("box:") != std::string::npos);
  }
}

TEST_F(KnownFolderTest, StartUpQueriesInOrder) {
  const std::string four =
      "?PACKAGE_LOCALAPPDATA local+ | PACKAGE_LOCALAPPDATA=P\\Local | ?PACKAGE_APPDATA roaming+ | "
      "PACKAGE_APPDATA=P\\Roaming | ?USER_LOCALAPPDATA local- | USER_LOCALAPPDATA=U\\Local | "
      "?USER_APPDATA roaming- | USER_APPDATA=U\\Roaming";
  const struct {
    bool packageAppDataVars;
    std::deque<uint32_t> results;
    std::string log;
    const char* localAppData;  // LOCALAPPDATA afterwards
    const char* appData;
  } cases[] = {
      {false, {}, four, "inherited L", "inherited R"},
      {true,
       {},
       four + " | ?LOCALAPPDATA local+ | LOCALAPPDATA=P\\Local | ?APPDATA roaming+ | "
              "APPDATA=P\\Roaming",
       "P\\Local",
       "P\\Roaming"},
      // A failure on the first call is reported once and the rest go on.
      {true,
       {kDenied, kUnspecified, 0, 0, kDenied, 0},
       "?PACKAGE_LOCALAPPDATA local+" + reported("Error 0x80070005") +
           " | ?PACKAGE_APPDATA roaming+ | ?USER_LOCALAPPDATA local- | USER_LOCALAPPDATA=U\\Local "
           "| "
           "?USER_APPDATA roaming- | USER_APPDATA=U\\Roaming | ?LOCALAPPDATA local+ | ?APPDATA "
           "roaming+ | APPDATA=P\\Roaming",
       "inherited L",
       "P\\Roaming"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    knownFolderErrorShown = false;
    FakePlatform platform;
    platform.environment = {{"LOCALAPPDATA", "inherited L"}, {"APPDATA", "inherited R"}};
    platform.folderResults = c.results;
    exportKnownFolders(platform, c.packageAppDataVars);
    EXPECT_EQ(joined(platform), c.log);
    EXPECT_STREQ(platform.getEnvironment("LOCALAPPDATA"), c.localAppData);
    EXPECT_STREQ(platform.getEnvironment("APPDATA"), c.appData);
  }
  // The one-shot flag outlives a start-up call.
  FakePlatform second;
  second.folderResults = {kUnspecified, kDenied};
  exportKnownFolders(second, true);
  EXPECT_EQ(joined(second).find("Error"), std::string::npos) << joined(second);
}

}  // namespace
}  // namespace plenwick

#include "platform/posix/posix_known_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace plenwick {
namespace {

std::map<std::string, std::string> environment;

const char* readFake(const char* name) {
  const auto found = environment.find(name);
  return found == environment.end() ? nullptr : found->second.c_str();
}

TEST(PosixKnownFolders, XdgVariablesThenHome) {
  const KnownFolder local = KnownFolder::LocalAppData;
  const KnownFolder roaming = KnownFolder::RoamingAppData;
  const struct {
    const char* environment;  // NAME=value, separated by blanks
    KnownFolder folder;
    const char* path;  // null: not found
  } cases[] = {
      {"XDG_CONFIG_HOME=/x/c", roaming, "/x/c"},
      {"XDG_CONFIG_HOME=/x/c HOME=/h", local, "/h/.local/share"},
      {"XDG_DATA_HOME=/x/d HOME=/h", roaming, "/h/.config"},
      {"XDG_DATA_HOME= HOME=/h", local, "/h/.local/share"},
      {"", local, nullptr},
      {"HOME= XDG_DATA_HOME=", local, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.environment) + (c.folder == local ? " local" : " roaming"));
    environment.clear();
    std::istringstream words(c.environment);
    for (std::string word; words >> word;) {
      environment[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
    }
    std::string path = "untouched";
    EXPECT_EQ(knownFolderPath(c.folder, readFake, path), c.path ? kFolderOk : kFolderFileNotFound);
    EXPECT_EQ(path, c.path ? c.path : "untouched");
  }
}

}  // namespace
}  // namespace plenwick

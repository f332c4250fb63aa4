#include "platform/posix/posix_known_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace plenwick {
namespace {

// The environment the reader below answers from.
const std::map<std::string, std::string>* fakeEnvironment = nullptr;

const char* readFake(const char* name) {
  const auto found = fakeEnvironment->find(name);
  return found == fakeEnvironment->end() ? nullptr : found->second.c_str();
}

struct FolderCase {
  const char* name;
  std::map<std::string, std::string> environment;
  KnownFolder folder;
  uint32_t result;
  std::string path;  // expected when the result is kFolderOk
};

TEST(PosixKnownFolders, XdgVariablesThenHome) {
  const KnownFolder local = KnownFolder::LocalAppData;
  const KnownFolder roaming = KnownFolder::RoamingAppData;
  const FolderCase cases[] = {
      {"local from XDG_DATA_HOME",
       {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/h"}},
       local,
       kFolderOk,
       "/x/data"},
      {"roaming from XDG_CONFIG_HOME",
       {{"XDG_CONFIG_HOME", "/x/config"}, {"HOME", "/h"}},
       roaming,
       kFolderOk,
       "/x/config"},
      {"local ignores XDG_CONFIG_HOME",
       {{"XDG_CONFIG_HOME", "/x/config"}, {"HOME", "/h"}},
       local,
       kFolderOk,
       "/h/.local/share"},
      {"roaming ignores XDG_DATA_HOME",
       {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/h"}},
       roaming,
       kFolderOk,
       "/h/.config"},
      {"empty XDG_DATA_HOME falls back",
       {{"XDG_DATA_HOME", ""}, {"HOME", "/h"}},
       local,
       kFolderOk,
       "/h/.local/share"},
      {"empty XDG_CONFIG_HOME falls back",
       {{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}},
       roaming,
       kFolderOk,
       "/h/.config"},
      {"XDG value taken as it stands",
       {{"XDG_DATA_HOME", "/d/Grüße dir/"}},
       local,
       kFolderOk,
       "/d/Grüße dir/"},
      {"XDG set, HOME unset", {{"XDG_CONFIG_HOME", "/x/config"}}, roaming, kFolderOk, "/x/config"},
      {"local without XDG or HOME is not found", {}, local, kFolderFileNotFound, ""},
      {"roaming without XDG or HOME is not found", {}, roaming, kFolderFileNotFound, ""},
      {"empty HOME is not found",
       {{"HOME", ""}, {"XDG_DATA_HOME", ""}},
       local,
       kFolderFileNotFound,
       ""},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.name);
    fakeEnvironment = &c.environment;
    std::string path = "untouched";
    EXPECT_EQ(knownFolderPath(c.folder, readFake, path), c.result);
    EXPECT_EQ(path, c.result == kFolderOk ? c.path : "untouched");
  }
  fakeEnvironment = nullptr;
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/host/tool_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

class SearchPath : public TempDirTest {};

TEST_F(SearchPath, TakesTheFirstExecutableFileAndNeverTheCurrentFolder) {
  const std::string dir = dir_.string();
  chmod(put("run/tool").c_str(), 0755);
  put("plain/tool");  // not executable
  std::filesystem::create_directories(dir_ / "folder/tool");
  const char* const cwdOnly[] = {"", ":", "::", ":/nonexistent"};
  const std::string kept = std::filesystem::current_path().string();
  ASSERT_EQ(chdir((dir + "/run").c_str()), 0);
  for (const char* path : cwdOnly) EXPECT_EQ(searchPath(path, "tool"), "") << '"' << path << '"';
  ASSERT_EQ(chdir(kept.c_str()), 0);

  const std::string path = dir + "/plain:" + dir + "/folder::" + dir + "/run";
  EXPECT_EQ(searchPath(path.c_str(), "tool"), dir + "/run/tool");
  EXPECT_EQ(searchPath("", "sh"), "") << "only an unset PATH means /usr/bin:/bin";
  const std::string unset = searchPath(nullptr, "sh");
  EXPECT_TRUE(unset == "/usr/bin/sh" || unset == "/bin/sh") << unset;
}

}  // namespace
}  // namespace plenwick

#include "platform/posix/posix_directory_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// What a search finds: the names in their order, each ended by "|", with "/"
// before it when the search says it is a directory.
std::string search(const std::string& pattern) {
  std::string found;
  PosixDirectorySearch().search(pattern, [&](const char* name, bool isDirectory) {
    found += std::string(name) + (isDirectory ? "/|" : "|");
  });
  return found;
}

TEST(PosixDirectorySearch, MatchesLikeTheShellInBytewiseOrder) {
  std::string base = (fs::temp_directory_path() / "plenwick-search-XXXXXX").string();
  ASSERT_NE(mkdtemp(&base[0]), nullptr);
  const fs::path root = base;
  for (const char* file : {"b.jar", "a.jar", "B.jar", "a b.jar", "\xC3\xA9.jar", "\xFF.jar",
                           ".hidden.jar", "notes.txt", "x\\a.jar", "x*.jar"}) {
    std::ofstream(root / file).put('x');
  }
  for (const char* directory : {"dir.jar", "sub", "with space"})
    fs::create_directory(root / directory);
  std::ofstream(root / "with space" / "inner.jar").put('x');
  fs::create_directory_symlink(root / "sub", root / "link-to-dir.jar");
  fs::create_symlink(root / "a.jar", root / "link-to-file.jar");
  const struct {
    const char* pattern;
    const char* found;
  } cases[] = {
      {"*.jar",
       "B.jar|a b.jar|a.jar|b.jar|dir.jar/|link-to-dir.jar/|link-to-file.jar|x*.jar|"
       "x\\a.jar|\xC3\xA9.jar|\xFF.jar|"},
      {".*", "./|../|.hidden.jar|"},
      {"[ab].jar", "a.jar|b.jar|"},
      {"x\\*", "x\\a.jar|"},
      {"*.JAR", ""},
      {"with space/*", "inner.jar|"},
      {"link-to-dir.jar/*", ""},
      {"gone/*", ""},
      {"a.jar/*", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(search((root / c.pattern).string()), c.found);
  }
  EXPECT_EQ(search(root.string() + "/"), "");
  const fs::path previous = fs::current_path();
  fs::current_path(root / "with space");
  EXPECT_EQ(search("*"), "inner.jar|") << "without a slash: the current directory";
  fs::current_path(previous);
  fs::remove_all(root);
}

}  // namespace
}  // namespace plenwick

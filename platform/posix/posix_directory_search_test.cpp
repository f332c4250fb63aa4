#include "platform/posix/posix_directory_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using Found = std::vector<std::pair<std::string, bool>>;  // name, is a directory

// A temporary directory with files, subdirectories and links, removed afterwards.
class PosixDirectorySearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string base = (fs::temp_directory_path() / "plenwick-search-XXXXXX").string();
    ASSERT_NE(mkdtemp(&base[0]), nullptr);
    root_ = base;
    for (const char* file : {"b.jar", "a.jar", "B.jar", "a b.jar", "\xC3\xA9t\xC3\xA9.jar",
                             "\xFF.jar", ".hidden.jar", "notes.txt", "x\\a.jar", "x*.jar"}) {
      std::ofstream(root_ / file).put('x');
    }
    for (const char* directory : {"dir.jar", "sub", "with space"}) {
      fs::create_directory(root_ / directory);
    }
    std::ofstream(root_ / "with space" / "inner.jar").put('x');
    fs::create_directory_symlink(root_ / "sub", root_ / "link-to-dir.jar");
    fs::create_symlink(root_ / "a.jar", root_ / "link-to-file.jar");
  }
  void TearDown() override { fs::remove_all(root_); }

  Found search(const std::string& pattern) {
    Found found;
    PosixDirectorySearch().search(pattern, [&](const char* name, bool isDirectory) {
      found.emplace_back(name, isDirectory);
    });
    return found;
  }

  std::string in(const std::string& relative) const { return (root_ / relative).string(); }

  fs::path root_;
};

TEST_F(PosixDirectorySearchTest, MatchesLikeTheShellInBytewiseOrder) {
  const struct {
    const char* name;
    std::string pattern;
    Found found;
  } cases[] = {
      {"jars: directories flagged, hidden skipped, bytes unsigned",
       in("*.jar"),
       {{"B.jar", false},
        {"a b.jar", false},
        {"a.jar", false},
        {"b.jar", false},
        {"dir.jar", true},
        {"link-to-dir.jar", true},
        {"link-to-file.jar", false},
        {"x*.jar", false},
        {"x\\a.jar", false},
        {"\xC3\xA9t\xC3\xA9.jar", false},
        {"\xFF.jar", false}}},
      {"explicit leading dot", in(".*"), {{".", true}, {"..", true}, {".hidden.jar", false}}},
      {"question mark and brackets", in("[ab].jar"), {{"a.jar", false}, {"b.jar", false}}},
      {"backslash is an ordinary character", in("x\\*"), {{"x\\a.jar", false}}},
      {"star matches a literal star", in("x*.jar"), {{"x*.jar", false}, {"x\\a.jar", false}}},
      {"case matters", in("*.JAR"), {}},
      {"no match", in("*.zip"), {}},
      {"directory with a space", in("with space/*"), {{"inner.jar", false}}},
      {"through a link to a directory", in("link-to-dir.jar/*"), {}},
      {"missing directory", in("gone/*"), {}},
      {"a file is no directory", in("a.jar/*"), {}},
      {"nothing after the slash", in(""), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(search(c.pattern), c.found);
  }
}

TEST_F(PosixDirectorySearchTest, WithoutSlashSearchesTheCurrentDirectory) {
  const fs::path previous = fs::current_path();
  fs::current_path(root_ / "with space");
  const Found found = search("*");
  fs::current_path(previous);
  EXPECT_EQ(found, (Found{{"inner.jar", false}}));
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/files/tree_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

class TreeCopyTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    put("rt/lib/server/libjvm.so", "jvm");
    put("outside.txt", "certificates");
    fs::create_directories(dir_ / "outside-dir");
  }
};

TEST_F(TreeCopyTest, LinksStayInsideOrAreResolved) {
  fs::create_symlink("server/libjvm.so", dir_ / "rt/lib/relative");
  fs::create_symlink(dir_ / "rt/lib/server", dir_ / "rt/lib/absolute-inside");
  fs::create_symlink(dir_ / "outside.txt", dir_ / "rt/lib/cacerts");
  fs::create_symlink("rt", dir_ / "rt-link");
  fs::create_symlink("../..x", dir_ / "rt/lib/dots");  // "..x" is a name inside
  put("rt/..x");
  fs::create_symlink("../../rt-x", dir_ / "rt/lib/sibling");  // "rt-x" is not inside "rt"
  put("rt-x");
  std::string err;
  ASSERT_TRUE(copyRuntimeTree((dir_ / "rt-link").string(), (dir_ / "copy").string(), &err)) << err;
  EXPECT_FALSE(fs::is_symlink(dir_ / "copy")) << "a linked runtime is copied, not linked";
  EXPECT_EQ(fs::read_symlink(dir_ / "copy/lib/relative"), "server/libjvm.so");
  EXPECT_EQ(fs::read_symlink(dir_ / "copy/lib/absolute-inside"), "server");
  EXPECT_FALSE(fs::is_symlink(dir_ / "copy/lib/cacerts"));
  EXPECT_EQ(readFile(dir_ / "copy/lib/cacerts"), "certificates");
  EXPECT_EQ(fs::read_symlink(dir_ / "copy/lib/dots"), "../..x");
  EXPECT_FALSE(fs::is_symlink(dir_ / "copy/lib/sibling"));
}

// Run by a user who cannot write into read-only folders: root writes
// anywhere, so as root the copy runs in a child that has become nobody.
TEST_F(TreeCopyTest, ReadOnlyFoldersAreCopiedWithTheirModes) {
  const fs::path lib = dir_ / "ro/lib", copyLib = dir_ / "copy/lib";
  fs::permissions(dir_, fs::perms::all);
  EXPECT_EXIT(
      {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::exit(2);
        put("ro/lib/server/libjvm.so");
        fs::permissions(lib / "server", fs::perms::owner_read | fs::perms::owner_exec);
        fs::permissions(lib, fs::perms::all & ~fs::perms::others_exec & ~fs::perms::owner_write);
        std::string err;
        const bool copied = copyRuntimeTree((dir_ / "ro").string(), (dir_ / "copy").string(), &err);
        const bool same = fs::status(copyLib).permissions() == fs::status(lib).permissions() &&
                          fs::status(copyLib / "server").permissions() ==
                              fs::status(lib / "server").permissions();
        std::fprintf(stderr, "%s\n%s", err.c_str(), same ? "" : "the modes differ");
        std::exit(copied && same && fs::exists(copyLib / "server/libjvm.so") ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  for (const fs::path& folder : {lib, lib / "server", copyLib, copyLib / "server"}) {
    std::error_code ignored;  // so that the folder can be removed
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
  }
}

TEST_F(TreeCopyTest, RefusesWhatCannotMoveWithTheImage) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* message;
  } cases[] = {
      {"link to a folder outside",
       [&](const fs::path& at) { fs::create_symlink(dir_ / "outside-dir", at); },
       "a folder outside the runtime"},
      {"dangling link", [&](const fs::path& at) { fs::create_symlink(dir_ / "none", at); },
       "which does not exist"},
      {"dangling link inside", [](const fs::path& at) { fs::create_symlink("server/none", at); },
       "the runtime's lib/odd is a link to server/none, which does not exist"},
      {"FIFO", [](const fs::path& at) { mkfifo(at.c_str(), 0600); }, "is a special file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_ / "copy");
    c.make(dir_ / "rt/lib/odd");
    std::string err;
    EXPECT_FALSE(copyRuntimeTree((dir_ / "rt").string(), (dir_ / "copy").string(), &err));
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    fs::remove(dir_ / "rt/lib/odd");
  }
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/files/tree_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
  std::string err;
  ASSERT_TRUE(copyRuntimeTree((dir_ / "rt-link").string(), (dir_ / "copy").string(), &err)) << err;
  EXPECT_FALSE(fs::is_symlink(dir_ / "copy")) << "a linked runtime is copied, not linked";
  EXPECT_EQ(fs::read_symlink(dir_ / "copy/lib/relative"), "server/libjvm.so");
  EXPECT_EQ(fs::read_symlink(dir_ / "copy/lib/absolute-inside"), "server");
  EXPECT_FALSE(fs::is_symlink(dir_ / "copy/lib/cacerts"));
  EXPECT_EQ(readFile(dir_ / "copy/lib/cacerts"), "certificates");
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

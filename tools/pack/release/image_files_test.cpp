#include "tools/pack/release/image_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

class ImageFilesTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    for (const char* file :
         {"img/.plenwick-image", "img/bin/App.exe", "img/runtime/bin/jvm.dll", "outside.txt"}) {
      put(file);
    }
    fs::create_symlink("jvm.dll", dir_ / "img/runtime/bin/copy.dll");
  }
};

// A link inside the image to a file goes in as that file, as the runtime copy
// left it; everything else an installer cannot hold is refused by name.
TEST_F(ImageFilesTest, OnlyFilesAndLinksToFilesInside) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> make;
    std::string message;  // empty: accepted
  } cases[] = {
      {"nothing more", [](const fs::path&) {}, ""},
      {"link out to a file",
       [&](const fs::path& at) { fs::create_symlink(dir_ / "outside.txt", at); },
       "odd into an installer: it is a link to " + (dir_ / "outside.txt").string() + ", outside"},
      {"link to a folder inside", [](const fs::path& at) { fs::create_symlink("../bin", at); },
       "odd into an installer: it is a link to ../bin, a folder"},
      {"dangling link", [](const fs::path& at) { fs::create_symlink("none", at); },
       "odd into an installer: it is a link to none, which does not exist"},
      {"FIFO", [](const fs::path& at) { mkfifo(at.c_str(), 0600); },
       "odd into an installer: it is a special file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.make(dir_ / "img/runtime/bin/odd");
    std::vector<std::string> files;
    std::string err;
    EXPECT_EQ(imageFiles((dir_ / "img").string(), &files, &err), c.message.empty()) << err;
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    if (c.message.empty()) {
      EXPECT_EQ(files, (std::vector<std::string>{"bin/App.exe", "runtime/bin/copy.dll",
                                                 "runtime/bin/jvm.dll"}));
    }
    fs::remove(dir_ / "img/runtime/bin/odd");
  }
}

}  // namespace
}  // namespace plenwick

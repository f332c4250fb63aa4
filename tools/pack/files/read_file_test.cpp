#include "tools/pack/files/read_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "tests/support/temp_dir.h"
#include "tools/pack/app/config_file.h"
#include "tools/pack/launcher/launcher_file.h"

namespace plenwick {
namespace {

class ReadFileTest : public TempDirTest {
 protected:
  // A file of `size` bytes that takes no disk space.
  std::string sparse(const std::string& name, uint64_t size) const {
    std::string path = put(name, "");
    EXPECT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
    return path;
  }
};

TEST_F(ReadFileTest, OnlyRegularFilesUpToTheLimit) {
  const struct {
    std::string path;
    const char* error;  // empty: read
  } cases[] = {
      {put("ten", "0123456789"), ""},
      {sparse("eleven", 11), "eleven is too large (11 bytes; at most 10 bytes are read"},
      {dir_.string(), " is a folder, not a regular file"},
      {(dir_ / "none").string(), "none: No such file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string text, error;
    EXPECT_EQ(readFile(c.path, 10, &text, &error), *c.error == '\0') << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

// Over the limit, a launcher is refused before a byte is read (sparse: no disk used).
TEST_F(ReadFileTest, ALauncherOverTheLimitIsRefusedBySize) {
  LauncherFile launcher;
  std::string error;
  EXPECT_FALSE(readLauncher(sparse("big", kMaxLauncherFile + 1), launcher, &error));
  EXPECT_NE(error.find("big is too large (1073741825 bytes; at most 1 GiB"), std::string::npos)
      << error;
}

// A FIFO as configuration file is refused at once. Should the read block, a
// writer opened after the time-out lets it end, so the test cannot hang.
TEST_F(ReadFileTest, AFifoConfigurationIsRefusedWithoutWaiting) {
  const std::string fifo = (dir_ / "app.json").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string error;
  auto load = std::async(std::launch::async, [&] {
    AppSettings config;
    return loadAppConfigFile(fifo, config, &error);
  });
  if (load.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    ADD_FAILURE() << "reading a FIFO waited for a writer";
    close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }
  EXPECT_FALSE(load.get());
  EXPECT_NE(error.find("app.json is a FIFO (named pipe)"), std::string::npos) << error;
}

}  // namespace
}  // namespace plenwick

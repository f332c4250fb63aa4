#include "tools/pack/launcher/packed_launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/sample_pe.h"
#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

using PackedLauncher = TempDirTest;

// A launcher built for another machine than the target is refused before
// anything is written.
TEST_F(PackedLauncher, MachineMustMatchTheTarget) {
  const struct {
    uint16_t machine;
    const char* target;
    const char* refusal;  // after the launcher's path; nullptr: written
  } cases[] = {
      {0xAA64, "windows-x64", " is a launcher for arm64, not for windows-x64"},
      {0x8664, "windows-arm64", " is a launcher for x64, not for windows-arm64"},
      {0x8664, "windows-x64", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    LauncherSource source;
    source.identity = {"App", "1.0.0.0", "App"};
    source.windows = true;
    source.target = c.target;
    const Bytes file = makePe(sampleResources(), c.machine);
    source.file = put("launcher.exe", std::string(file.begin(), file.end()));
    const std::string path = (dir_ / c.target / "bin/App.exe").string();
    std::string error;
    EXPECT_EQ(writePackedLauncher(source, LaunchConfig{}, path, &error), c.refusal == nullptr);
    EXPECT_EQ(error, c.refusal ? source.file + c.refusal : "");
    EXPECT_EQ(std::filesystem::exists(path), c.refusal == nullptr);
  }
}

}  // namespace
}  // namespace plenwick

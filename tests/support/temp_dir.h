// Files for tests: whole-file reads and writes, and a fresh folder under /tmp for
// each test, removed with all it holds afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace plenwick {

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes `text` to `path`, making the folders above it.
inline void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenwick-test-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes `text` to `name` below the folder; returns the path.
  std::string put(const std::string& name, const std::string& text = "x") const {
    writeFile(dir_ / name, text);
    return (dir_ / name).string();
  }

  std::filesystem::path dir_;
};

}  // namespace plenwick

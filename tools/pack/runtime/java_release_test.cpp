#include "tools/pack/runtime/java_release.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

class JavaReleaseTest : public TempDirTest {};

TEST_F(JavaReleaseTest, FeatureVersionFromTheReleaseFile) {
  const std::pair<std::string, int> cases[] = {
      {"IMPLEMENTOR=\"x\"\nJAVA_VERSION=\"17.0.9\"\nOS_NAME=\"Linux\"\n", 17},
      {"JAVA_VERSION=\"1.8.0_402\"", 8},
      {"JAVA_VERSION=\"21\"\r\n", 21},
      {"JAVA_VERSION=\"12345\"\nJAVA_VERSION=\"22-ea\"\n", 22},
      {"JAVA_VERSION=\"17", 0},
      {"JAVA_VERSION=17\n", 0},
      {"JAVA_VERSION=\"25." + std::string(50000, 'x') + "\"\n", 25},
  };
  for (const auto& [release, feature] : cases) {
    SCOPED_TRACE(release.substr(0, 40));
    put("release", release);
    EXPECT_EQ(javaFeatureVersion(dir_.string()), feature);
  }
  put("release", "JAVA_VERSION=\"25.0.1\"\n");
  EXPECT_EQ(javaVersion(dir_.string()), "25.0.1");
  EXPECT_EQ(javaFeatureVersion((dir_ / "none").string()), 0);
}

TEST_F(JavaReleaseTest, ModulesFromTheReleaseFile) {
  put("release", "JAVA_VERSION=\"17\"\nMODULES=\"java.base  jdk.zipfs\"\r\nOS_NAME=\"Linux\"\n");
  EXPECT_EQ(javaModules(dir_.string()), (std::set<std::string>{"java.base", "jdk.zipfs"}));
  EXPECT_EQ(javaModules((dir_ / "none").string()), std::set<std::string>());
}

}  // namespace
}  // namespace plenwick

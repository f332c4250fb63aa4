#include "tools/pack/runtime/module_deps.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/installed_jdk.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

TEST(FindModules, JdepsFindsWhatTheJarsNeed) {
  AppConfig config;
  config.jdk = installedJdk();
  if (config.jdk.empty()) GTEST_SKIP() << "no JDK 19 or later under /usr/lib/jvm";
  std::string modules, error;
  config.jarFiles = {PLENWICK_TEST_JARS "/probe.jar"};
  if (!fs::exists(config.jarFiles[0]))
    GTEST_SKIP() << "no " << config.jarFiles[0] << " in this build";
  ASSERT_TRUE(findModules(config, modules, &error)) << error;
  EXPECT_NE(modules.find("java.base"), std::string::npos) << modules;

  config.jarFiles = {PLENWICK_TEST_JARS "/missing.jar"};
  EXPECT_FALSE(findModules(config, modules, &error));
  EXPECT_EQ(error.rfind("jdeps could not find the modules", 0), 0u) << error;
}

}  // namespace
}  // namespace plenwick

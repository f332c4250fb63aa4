#include "tools/pack/runtime/module_deps.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/installed_jdk.h"
#include "tests/support/recording_reporter.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

TEST(FindModules, JdepsFindsWhatTheJarsNeed) {
  RuntimeSource source;
  source.jdk = installedJdk();
  if (source.jdk.empty()) GTEST_SKIP() << "no JDK 19 or later under /usr/lib/jvm";
  std::string modules, error;
  std::vector<std::string> jars = {PLENWICK_TEST_JARS "/probe.jar"};
  if (!fs::exists(jars[0])) GTEST_SKIP() << "no " << jars[0] << " in this build";
  RecordingReporter reporter;
  ASSERT_TRUE(findModules(source, jars, reporter, modules, &error)) << error;
  EXPECT_EQ(modules.rfind("java.base,", 0), 0u) << modules;
  EXPECT_NE(modules.find(",jdk.localedata"), std::string::npos) << modules;
  EXPECT_EQ(reporter.lines[reporter.lines.size() - 2],
            "note: modules (found with jdeps): java.base");

  jars = {PLENWICK_TEST_JARS "/missing.jar"};
  EXPECT_FALSE(findModules(source, jars, reporter, modules, &error));
  EXPECT_EQ(error.rfind("jdeps could not find the modules", 0), 0u) << error;
}

}  // namespace
}  // namespace plenwick

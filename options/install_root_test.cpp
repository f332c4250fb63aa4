#include "options/install_root.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(InstallRoot, LastTwoComponentsRemoved) {
  const struct {
    const char* name;
    const char* executable;
    char separator;
    const char* installRoot;
    const char* appDir;
  } cases[] = {
      {"drive path", "C:\\A\\B\\x.exe", '\\', "C:\\A", "C:\\A\\app\\"},
      {"network share", "\\\\server\\share\\d\\x.exe", '\\', "\\\\server\\share",
       "\\\\server\\share\\app\\"},
      {"forward slashes are not separators on Windows", "C:\\A/B\\C\\x.exe", '\\', "C:\\A/B",
       "C:\\A/B\\app\\"},
      {"root of a drive: the drive", "C:\\x.exe", '\\', "C:", "C:\\app\\"},
      {"no separator at all: unchanged", "x.exe", '\\', "x.exe", "x.exe\\app\\"},
      {"posix path", "/opt/A/bin/x", '/', "/opt/A", "/opt/A/app/"},
      {"posix backslash is part of a name", "/opt/A\\B/bin\\c/x", '/', "/opt/A\\B",
       "/opt/A\\B/app/"},
      {"posix one level below the root: the root", "/bin/x", '/', "", "/app/"},
      {"posix at the root: the root", "/x", '/', "", "/app/"},
      {"empty path", "", '/', "", "/app/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string installRoot = computeInstallRoot(c.executable, c.separator);
    EXPECT_EQ(installRoot, c.installRoot);
    EXPECT_EQ(appDirFor(installRoot, c.separator), c.appDir);
  }
}

}  // namespace
}  // namespace plenwick

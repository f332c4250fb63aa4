// Hostile inputs end to end: a huge class path, odd install paths, an
// unreadable class-path directory, and a packer handed inputs and outputs it
// cannot use. Damaged blocks are refused by the decoder (config/ unit tests).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The run ended with `exitCode`, its standard error holding `message`.
void expectFailure(const RunResult& r, int exitCode, const std::string& message) {
  EXPECT_EQ(r.exitCode, exitCode) << r.err;
  EXPECT_TRUE(contains(r.err, message)) << r.err;
}

// The run succeeded and printed exactly `out`.
void expectOutput(const RunResult& r, const std::string& out) {
  EXPECT_EQ(r.exitCode, 0) << r.err.substr(0, 2000);
  EXPECT_EQ(r.out, out);
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// --- Oversized configurations --------------------------------------------------

using Oversized = AppImageTest;

TEST_F(Oversized, WildcardExpandingToTenThousandEntries) {
  const std::string lib = appDir() + "lib";
  ASSERT_EQ(mkdir(lib.c_str(), 0755), 0);
  constexpr int kEntries = 10000;
  for (int i = 0; i < kEntries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/library-%05d.jar", i);
    writeFile(lib + name, "");
  }
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar:&&lib/*.jar"};
  config.appArguments = {"props", "java.class.path"};
  const RunResult r = run();
  ASSERT_EQ(r.exitCode, 0) << r.err.substr(0, 2000);
  const std::vector<std::string> lines = linesStartingWith(r.out, "java.class.path=");
  ASSERT_EQ(lines.size(), 1u);
  const std::string& path = lines[0];
  EXPECT_EQ(count(path, ":") + 1, 2u + kEntries);
  EXPECT_EQ(count(path, ":" + lib + "/library-"), static_cast<std::size_t>(kEntries));
  EXPECT_TRUE(contains(path, ":" + lib + "/library-00000.jar:")) << path.substr(0, 300);
  EXPECT_TRUE(contains(path, ":" + lib + "/library-09999.jar")) << path.substr(0, 300);
}

// --- Odd install paths -----------------------------------------------------------

struct RootCase {
  const char* name;
  const char* directory;
};

class OddRoot : public AppImageTest, public ::testing::WithParamInterface<RootCase> {};

TEST_P(OddRoot, StartsAndSeesItsAppDirectory) {
  useRoot(GetParam().directory);
  config.jvmOptions.push_back("-Dapp.dir=&&");
  config.appArguments = {"props", "app.dir"};
  expectOutput(run(), "app.dir=" + appDir() + "\n");
}

const RootCase kRoots[] = {
    {"Spaces", "with  two spaces"},
    {"NonAscii", "Grüße-目录-ÆØÅ"},
    {"Everything", "all of it && ü ~ = ;"},
};
INSTANTIATE_TEST_SUITE_P(Hostile, OddRoot, ::testing::ValuesIn(kRoots),
                         [](const auto& p) { return std::string(p.param.name); });

// --- A class-path wildcard over a directory that cannot be listed ----------------

TEST_F(AppImageTest, WildcardOverUnreadableDirectoryStaysAsWritten) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "running as root, which can list any directory; the missing and "
                    "not-a-directory cases cover a search that cannot be made";
  }
  const std::string locked = appDir() + "locked";
  ASSERT_EQ(mkdir(locked.c_str(), 0755), 0);
  writeFile(locked + "/hidden.jar", "");
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar:&&locked/*"};
  config.appArguments = {"props", "java.class.path"};
  const RunResult r = run();
  chmod(locked.c_str(), 0755);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(contains(r.out, ":" + appDir() + "locked/*\n")) << r.out;
}

// --- The packer on hostile inputs ----------------------------------------------------

// The packer refuses a launcher that is not one, or an output it cannot write,
// with exit code 1 and a clear message, and leaves nothing behind.
struct PackerCase {
  const char* name;
  std::string (*launcher)(const std::string& dir);  // makes the input, returns its path
  std::string (*output)(const std::string& dir);
  const char* message;
  bool needsNonRoot;
};

class PackerRefuses : public ::testing::TestWithParam<PackerCase> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenwick-hostile-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override {
    std::system(("chmod -R u+w '" + dir_ + "'; rm -rf '" + dir_ + "'").c_str());
  }
  std::string dir_;
};

TEST_P(PackerRefuses, ClearErrorAndNoPartialOutput) {
  if (GetParam().needsNonRoot && geteuid() == 0) {
    GTEST_SKIP() << "running as root, which may write into read-only directories";
  }
  const std::string launcher = GetParam().launcher(dir_);
  const std::string output = GetParam().output(dir_);
  const std::string pack = PLENWICK_PACK;
  expectFailure(runProcess(pack, {pack, "write", "--launcher", launcher, "--output", output,
                                  "--main-class", "probe.Probe"}),
                1, GetParam().message);
  // Every name below the work directory, except the inputs the case made.
  std::vector<std::string> leftovers;
  const std::string found = runProcess("/usr/bin/find", {"find", dir_, "-mindepth", "1"}).out;
  for (const std::string& path : linesStartingWith(found, dir_ + "/")) {
    const std::string name = path.substr(dir_.size() + 1);
    if (name != "input" && name != "input-dir" && name != "read-only" && name != "out-dir" &&
        name != "out-dir/keep") {
      leftovers.push_back(path);
    }
  }
  EXPECT_EQ(leftovers, std::vector<std::string>{});
}

std::string realLauncher(const std::string&) {
  return PLENWICK_LAUNCHER;
}
std::string plainOutput(const std::string& dir) {
  return dir + "/out";
}
const PackerCase kPackerCases[] = {
    {"LauncherIsADirectory",
     [](const std::string& dir) {
       mkdir((dir + "/input-dir").c_str(), 0755);
       return dir + "/input-dir";
     },
     plainOutput, "is not a regular file", false},
    {"MissingLauncher", [](const std::string& dir) { return dir + "/nothing-here"; }, plainOutput,
     "No such file or directory", false},
    {"MissingOutputDirectory", realLauncher,
     [](const std::string& dir) { return dir + "/no/such/dir/app"; }, "cannot write", false},
    {"OutputIsADirectory", realLauncher,
     [](const std::string& dir) {
       mkdir((dir + "/out-dir").c_str(), 0755);
       writeFile(dir + "/out-dir/keep", "kept");
       return dir + "/out-dir";
     },
     "is not a regular file", false},
    {"ReadOnlyDirectory", realLauncher,
     [](const std::string& dir) {
       mkdir((dir + "/read-only").c_str(), 0555);
       return dir + "/read-only/app";
     },
     "cannot write", true},
};
INSTANTIATE_TEST_SUITE_P(Hostile, PackerRefuses, ::testing::ValuesIn(kPackerCases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace plenwick::e2e

// Hostile inputs end to end: oversized configurations, odd install paths,
// unreadable class-path directories, damaged launchers, and a packer handed
// files that are not launchers or places it cannot write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/block_encoder.h"
#include "config/region_locator.h"
#include "tests/e2e/harness.h"

namespace plenwick::e2e {
namespace {

constexpr const char* kDamaged =
    "The launch configuration in this executable is missing or damaged";

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Bytes the encoded block of `config` occupies in the region.
std::size_t blockLength(const LaunchConfig& config) {
  std::size_t length = 1 + 4 + config.mainClass.size() + 1;
  for (const auto* list : {&config.jvmOptions, &config.appArguments}) {
    length += 1;
    for (const std::string& entry : *list) length += entry.size() + 1;
  }
  return length;
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

std::string padded(const std::string& head, std::size_t length, char fill) {
  return head + std::string(length > head.size() ? length - head.size() : 0, fill);
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

TEST_F(Oversized, OptionOfSixteenThousandBytes) {
  const std::string value = padded("start-", 16000 - 8 - 4, 'v') + "-end";
  const std::string option = "-Dbig.v=" + value;
  ASSERT_EQ(option.size(), 16000u);
  config.jvmOptions.push_back(option);
  config.appArguments = {"props", "big.v"};
  expectOutput(run(), "big.v=" + value + "\n");
}

// 255 options and 255 default arguments, every byte of the region used: the
// arguments name properties that the options define, so one run shows both
// arrived whole.
TEST_F(Oversized, FullListsFillingTheRegion) {
  constexpr std::size_t kNameLength = 24;
  config.appArguments = {"props"};
  for (std::size_t i = 1; i < kMaxListEntries; ++i) {
    config.appArguments.push_back(padded("p" + std::to_string(i) + ".", kNameLength, 'n'));
  }
  const std::vector<std::string> classPath = {config.jvmOptions[0]};
  config.jvmOptions = classPath;
  for (std::size_t i = 1; i < kMaxListEntries; ++i) {
    config.jvmOptions.push_back("-D" + config.appArguments[i] + "=");
  }
  // Share the bytes left among the 254 values, the first ones one byte longer.
  const std::size_t left = kLaunchConfigBlockSize - 1 - blockLength(config);
  const std::size_t each = left / (kMaxListEntries - 1);
  const std::size_t longer = left % (kMaxListEntries - 1);
  for (std::size_t i = 1; i < kMaxListEntries; ++i) {
    config.jvmOptions[i] += padded(std::to_string(i) + "-", each + (i <= longer ? 1 : 0), 'x');
  }
  ASSERT_EQ(config.jvmOptions.size(), kMaxListEntries);
  ASSERT_EQ(config.appArguments.size(), kMaxListEntries);
  ASSERT_EQ(blockLength(config), kLaunchConfigBlockSize - 1) << "the block fills the region";
  LaunchConfig oneMore = config;
  oneMore.jvmOptions.back() += "x";
  EXPECT_FALSE(encodeLaunchConfig(oneMore).ok()) << "one more byte must not fit";

  std::string expected;  // "-Dname=value" printed as "name=value"
  for (std::size_t i = 1; i < kMaxListEntries; ++i) {
    expected += config.jvmOptions[i].substr(2) + "\n";
  }
  expectOutput(run(), expected);
}

// HOME of 700 bytes, and of one byte too many, arrives as its first 506 bytes.
class LongHome : public AppImageTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LongHome, CutTo506Bytes) {
  const std::string home = padded("/home/", GetParam(), 'h');
  config.appArguments = {"env", "HOME"};
  expectOutput(run({}, {{"HOME", home}}), "HOME=" + home.substr(0, 506) + "\n");
}
INSTANTIATE_TEST_SUITE_P(Oversized, LongHome,
                         ::testing::Values(std::size_t{700}, std::size_t{507}));

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
    {"Token", "a&&b"},
    {"OnlyToken", "&&"},
    {"TripleAmpersand", "x&&&y"},
    {"Everything", "all of it && ü ~ = ;"},
};
INSTANTIATE_TEST_SUITE_P(Hostile, OddRoot, ::testing::ValuesIn(kRoots),
                         [](const auto& p) { return std::string(p.param.name); });

// --- Class-path wildcards over directories that cannot be listed ---------------------

struct UnlistableCase {
  const char* name;
  const char* entry;  // relative to ROOT/app/
};

class UnlistableDirectory : public AppImageTest,
                            public ::testing::WithParamInterface<UnlistableCase> {};

TEST_P(UnlistableDirectory, EntryStaysAsWritten) {
  config.jvmOptions = {"-Djava.class.path=&&probe.jar:&&plenwick-bootstrap.jar:&&" +
                       std::string(GetParam().entry)};
  config.appArguments = {"props", "java.class.path"};
  expectOutput(run(), "java.class.path=" + appDir() + "probe.jar:" + appDir() +
                          "plenwick-bootstrap.jar:" + appDir() + GetParam().entry + "\n");
}

const UnlistableCase kUnlistable[] = {
    {"MissingDirectory", "missing/*"},
    {"MissingDirectoryJars", "missing/deeper/*.jar"},
    {"FileAsDirectory", "probe.jar/*"},
};
INSTANTIATE_TEST_SUITE_P(Hostile, UnlistableDirectory, ::testing::ValuesIn(kUnlistable),
                         [](const auto& p) { return std::string(p.param.name); });

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

// --- Damaged launchers ---------------------------------------------------------------

// How to spoil a packed region (given as its offset in the file).
struct DamageCase {
  const char* name;
  void (*damage)(std::string& file, std::size_t region);
  bool launcherRuns;  // false: the system's loader fails before any launcher code
};

class DamagedRegion : public AppImageTest, public ::testing::WithParamInterface<DamageCase> {};

// The launcher refuses with a message, or at least the process fails: it never
// runs with half a configuration.
TEST_P(DamagedRegion, RefusesToStart) {
  const std::string program = pack();
  std::string file = readFile(program);
  const RegionLocation location =
      locateRegion(std::vector<unsigned char>(file.begin(), file.end()));
  ASSERT_TRUE(location.found()) << location.error;
  GetParam().damage(file, location.offset);
  writeFile(program, file);
  const RunResult r = runProcess(program, {program, "args"});
  if (GetParam().launcherRuns) {
    expectFailure(r, 1, kDamaged);
  } else {
    EXPECT_NE(r.exitCode, 0);
  }
  EXPECT_EQ(r.out, "");
}

const DamageCase kDamage[] = {
    // The last byte of the region is no longer NUL and nothing else ends the block.
    {"NoNulLeft",
     [](std::string& file, std::size_t region) {
       for (std::size_t i = 5; i < kLaunchConfigBlockSize; ++i) file[region + i] = 'x';
     },
     true},
    // The option count promises more strings than the region holds.
    {"CountTooLarge",
     [](std::string& file, std::size_t region) { file[file.find('\0', region + 5) + 1] = '\xff'; },
     true},
    // Filler written over the end of the block, including its final NULs.
    {"TailOverwritten",
     [](std::string& file, std::size_t region) {
       const std::size_t count = file.find('\0', region + 5) + 1;
       for (std::size_t i = count + 1; i < region + kLaunchConfigBlockSize; ++i) file[i] = '_';
     },
     true},
    // Never packed at all: filler and the final NUL.
    {"Unpacked",
     [](std::string& file, std::size_t region) {
       const std::vector<unsigned char> unpacked = unpackedRegion();
       std::copy(unpacked.begin(), unpacked.end(), file.begin() + static_cast<long>(region));
     },
     true},
    // Cut inside the region: on Linux the loader kills the process with a
    // signal. The packer refuses such files and never writes one, see below.
    {"TruncatedInRegion",
     [](std::string& file, std::size_t region) {
       file.resize(region + kLaunchConfigBlockSize / 2);
     },
     false},
};
INSTANTIATE_TEST_SUITE_P(Hostile, DamagedRegion, ::testing::ValuesIn(kDamage),
                         [](const auto& p) { return std::string(p.param.name); });

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
std::string copyOfLauncherCutAt(const std::string& dir, std::size_t keepAfterRegion) {
  const std::string launcher = readFile(PLENWICK_LAUNCHER);
  const RegionLocation location =
      locateRegion(std::vector<unsigned char>(launcher.begin(), launcher.end()));
  writeFile(dir + "/input", launcher.substr(0, location.offset + keepAfterRegion));
  return dir + "/input";
}

const PackerCase kPackerCases[] = {
    {"OtherProgram", [](const std::string&) { return std::string("/bin/ls"); }, plainOutput,
     "no launch configuration region found: this is not a Plenwick launcher", false},
    {"LauncherIsADirectory",
     [](const std::string& dir) {
       mkdir((dir + "/input-dir").c_str(), 0755);
       return dir + "/input-dir";
     },
     plainOutput, "is not a regular file", false},
    {"EmptyFile",
     [](const std::string& dir) {
       writeFile(dir + "/input", "");
       return dir + "/input";
     },
     plainOutput, "no launch configuration region found", false},
    {"MissingLauncher", [](const std::string& dir) { return dir + "/nothing-here"; }, plainOutput,
     "No such file or directory", false},
    {"TruncatedInRegion",
     [](const std::string& dir) { return copyOfLauncherCutAt(dir, kLaunchConfigBlockSize / 2); },
     plainOutput, "the file is truncated", false},
    {"TruncatedAtMarker", [](const std::string& dir) { return copyOfLauncherCutAt(dir, 0); },
     plainOutput, "the file is truncated", false},
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

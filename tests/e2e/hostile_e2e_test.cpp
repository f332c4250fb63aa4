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

bool exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
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
  std::size_t entries = 0;
  std::size_t fromLib = 0;
  std::size_t start = std::string("java.class.path=").size();
  const std::string& path = lines[0];
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    ++entries;
    if (path.compare(start, lib.size() + 9, lib + "/library-") == 0) ++fromLib;
    start = end + 1;
  }
  EXPECT_EQ(entries, 2u + kEntries);
  EXPECT_EQ(fromLib, static_cast<std::size_t>(kEntries));
  EXPECT_TRUE(contains(path, lib + "/library-00000.jar:")) << path.substr(0, 300);
  EXPECT_TRUE(contains(path, lib + "/library-09999.jar")) << path.substr(0, 300);
}

TEST_F(Oversized, OptionOfSixteenThousandBytes) {
  const std::string value = padded("start-", 16000 - 8 - 4, 'v') + "-end";
  const std::string option = "-Dbig.v=" + value;
  ASSERT_EQ(option.size(), 16000u);
  config.jvmOptions.push_back(option);
  config.appArguments = {"props", "big.v"};
  const RunResult r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "big.v=" + value + "\n");
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

  const RunResult r = run();
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::string expected;
  for (std::size_t i = 1; i < kMaxListEntries; ++i) {
    const std::string& option = config.jvmOptions[i];
    expected += option.substr(2) + "\n";  // "-Dname=value" -> "name=value"
  }
  EXPECT_EQ(r.out, expected);
}

TEST_F(Oversized, HomeLongerThanTheBufferIsCutTo506Bytes) {
  const std::string home = padded("/home/", 700, 'h');
  config.appArguments = {"env", "HOME"};
  const RunResult r = run({}, {{"HOME", home}});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "HOME=" + home.substr(0, 506) + "\n");
}

TEST_F(Oversized, HomeOfExactly506BytesIsKept) {
  const std::string home = padded("/home/", 506, 'h');
  config.appArguments = {"env", "HOME"};
  const RunResult r = run({}, {{"HOME", home + "X"}});
  EXPECT_EQ(r.out, "HOME=" + home + "\n") << r.err;
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
  const RunResult r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "app.dir=" + appDir() + "\n");
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
  const RunResult r = run();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "java.class.path=" + appDir() + "probe.jar:" + appDir() +
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
};

class DamagedRegion : public AppImageTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedRegion, RefusesToStartWithAMessage) {
  const std::string program = pack();
  std::string file = readFile(program);
  std::vector<unsigned char> bytes(file.begin(), file.end());
  const RegionLocation location = locateRegion(bytes);
  ASSERT_TRUE(location.found()) << location.error;
  GetParam().damage(file, location.offset);
  writeFile(program, file);
  const RunResult r = runProcess(program, {program, "args"});
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_TRUE(contains(r.err, kDamaged)) << r.err;
  EXPECT_EQ(r.out, "");
}

const DamageCase kDamage[] = {
    // The last byte of the region is no longer NUL and nothing else ends the block.
    {"NoNulLeft",
     [](std::string& file, std::size_t region) {
       for (std::size_t i = 5; i < kLaunchConfigBlockSize; ++i) file[region + i] = 'x';
     }},
    // The option count promises more strings than the region holds.
    {"CountTooLarge",
     [](std::string& file, std::size_t region) {
       const std::size_t count = file.find('\0', region + 5) + 1;
       file[count] = '\xff';
     }},
    // Filler written over the end of the block, including its final NULs.
    {"TailOverwritten",
     [](std::string& file, std::size_t region) {
       const std::size_t count = file.find('\0', region + 5) + 1;
       for (std::size_t i = count + 1; i < region + kLaunchConfigBlockSize; ++i) file[i] = '_';
     }},
    // Never packed at all: filler and the final NUL.
    {"Unpacked",
     [](std::string& file, std::size_t region) {
       const std::vector<unsigned char> unpacked = unpackedRegion();
       std::copy(unpacked.begin(), unpacked.end(), file.begin() + static_cast<long>(region));
     }},
};
INSTANTIATE_TEST_SUITE_P(Hostile, DamagedRegion, ::testing::ValuesIn(kDamage),
                         [](const auto& p) { return std::string(p.param.name); });

// A file cut inside its region is beyond the launcher's reach: the system's
// loader fails on it (on Linux it dies with a signal) before any launcher code
// runs. The packer refuses such files and never writes one, see below. The
// process must fail rather than run with half a configuration.
TEST_F(AppImageTest, TruncatedLauncherDoesNotRun) {
  const std::string program = pack();
  std::string file = readFile(program);
  std::vector<unsigned char> bytes(file.begin(), file.end());
  const RegionLocation location = locateRegion(bytes);
  ASSERT_TRUE(location.found()) << location.error;
  writeFile(program, file.substr(0, location.offset + kLaunchConfigBlockSize / 2));
  const RunResult r = runProcess(program, {program, "args"});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
}

// --- The packer on hostile inputs ----------------------------------------------------

std::string packer() {
  return PLENWICK_PACK;
}

class PackerInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenwick-hostile-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override {
    std::system(("chmod -R u+w '" + dir_ + "'; rm -rf '" + dir_ + "'").c_str());
  }

  RunResult write(const std::string& launcher, const std::string& output) {
    return runProcess(packer(), {packer(), "write", "--launcher", launcher, "--output", output,
                                 "--main-class", "probe.Probe"});
  }
  // Names in the work directory and below, so leftovers are seen wherever they are.
  std::vector<std::string> leftovers(const std::vector<std::string>& expected) {
    std::vector<std::string> found;
    const RunResult r = runProcess("/usr/bin/find", {"find", dir_, "-mindepth", "1"});
    std::size_t start = 0;
    while (start < r.out.size()) {
      const std::size_t end = r.out.find('\n', start);
      const std::string path = r.out.substr(start, end - start);
      bool known = false;
      for (const std::string& e : expected) known = known || path == dir_ + "/" + e;
      if (!known) found.push_back(path);
      start = end + 1;
    }
    return found;
  }

  std::string dir_;
};

struct BadLauncherCase {
  const char* name;
  std::string (*make)(const std::string& dir);  // returns the launcher path
  const char* message;
};

class PackerRefusesLauncher : public PackerInputs,
                              public ::testing::WithParamInterface<BadLauncherCase> {};

TEST_P(PackerRefusesLauncher, ClearErrorAndNoOutput) {
  const std::string launcher = GetParam().make(dir_);
  const RunResult r = write(launcher, dir_ + "/out");
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(contains(r.err, GetParam().message)) << r.err;
  EXPECT_FALSE(exists(dir_ + "/out"));
  EXPECT_EQ(leftovers({"input", "input-dir"}), std::vector<std::string>{});
}

std::string copyOfLauncherCutAt(const std::string& dir, std::size_t keepAfterRegion) {
  const std::string launcher = readFile(PLENWICK_LAUNCHER);
  std::vector<unsigned char> bytes(launcher.begin(), launcher.end());
  const RegionLocation location = locateRegion(bytes);
  writeFile(dir + "/input", launcher.substr(0, location.offset + keepAfterRegion));
  return dir + "/input";
}

const BadLauncherCase kBadLaunchers[] = {
    {"OtherProgram", [](const std::string&) { return std::string("/bin/ls"); },
     "no launch configuration region found: this is not a Plenwick launcher"},
    {"Directory",
     [](const std::string& dir) {
       mkdir((dir + "/input-dir").c_str(), 0755);
       return dir + "/input-dir";
     },
     "is not a regular file"},
    {"EmptyFile",
     [](const std::string& dir) {
       writeFile(dir + "/input", "");
       return dir + "/input";
     },
     "no launch configuration region found"},
    {"Missing", [](const std::string& dir) { return dir + "/nothing-here"; },
     "No such file or directory"},
    {"TruncatedInRegion",
     [](const std::string& dir) { return copyOfLauncherCutAt(dir, kLaunchConfigBlockSize / 2); },
     "the file is truncated"},
    {"TruncatedAtMarker", [](const std::string& dir) { return copyOfLauncherCutAt(dir, 0); },
     "the file is truncated"},
};
INSTANTIATE_TEST_SUITE_P(Hostile, PackerRefusesLauncher, ::testing::ValuesIn(kBadLaunchers),
                         [](const auto& p) { return std::string(p.param.name); });

struct BadOutputCase {
  const char* name;
  std::string (*make)(const std::string& dir);  // returns the output path
  const char* message;
  bool needsNonRoot;
};

class PackerCannotWrite : public PackerInputs,
                          public ::testing::WithParamInterface<BadOutputCase> {};

TEST_P(PackerCannotWrite, ClearErrorAndNoPartialOutput) {
  if (GetParam().needsNonRoot && geteuid() == 0) {
    GTEST_SKIP() << "running as root, which may write into read-only directories";
  }
  const std::string output = GetParam().make(dir_);
  const RunResult r = write(PLENWICK_LAUNCHER, output);
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_TRUE(contains(r.err, GetParam().message)) << r.err;
  EXPECT_EQ(leftovers({"read-only", "out-dir", "out-dir/keep"}), std::vector<std::string>{});
}

const BadOutputCase kBadOutputs[] = {
    {"MissingDirectory", [](const std::string& dir) { return dir + "/no/such/dir/app"; },
     "cannot write", false},
    {"OutputIsADirectory",
     [](const std::string& dir) {
       mkdir((dir + "/out-dir").c_str(), 0755);
       writeFile(dir + "/out-dir/keep", "kept");
       return dir + "/out-dir";
     },
     "cannot replace", false},
    {"ReadOnlyDirectory",
     [](const std::string& dir) {
       mkdir((dir + "/read-only").c_str(), 0555);
       return dir + "/read-only/app";
     },
     "cannot write", true},
};
INSTANTIATE_TEST_SUITE_P(Hostile, PackerCannotWrite, ::testing::ValuesIn(kBadOutputs),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace plenwick::e2e

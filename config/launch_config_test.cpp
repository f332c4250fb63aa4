#include "config/launch_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/block_encoder.h"
#include "config/region_locator.h"

namespace plenwick {
namespace {

using Bytes = std::vector<unsigned char>;

// A region whose first bytes are `block`, followed by filler and the final NUL.
Bytes region(const Bytes& block) {
  Bytes bytes = unpackedRegion();
  std::copy(block.begin(), block.end(), bytes.begin());
  return bytes;
}

Bytes text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

LaunchConfig decode(const Bytes& bytes) {
  LaunchConfig config;
  decodeLaunchConfig(bytes.data(), bytes.size(), config);
  return config;
}

struct DecodeCase {
  const char* name;
  Bytes block;
  LaunchConfig expected;
};

LaunchConfig make(uint8_t flags, uint32_t stack, std::string mainClass,
                  std::vector<std::string> options, std::vector<std::string> arguments) {
  LaunchConfig c;
  c.runOnCallingThread = flags & 1;
  c.consoleApp = flags & 2;
  c.utf8Console = flags & 4;
  c.reservedFlag3 = flags & 8;
  c.packageAppDataVars = flags & 16;
  c.threadStackSize = stack;
  c.mainClass = std::move(mainClass);
  c.jvmOptions = std::move(options);
  c.appArguments = std::move(arguments);
  return c;
}

void expectEqual(const LaunchConfig& actual, const LaunchConfig& expected) {
  EXPECT_TRUE(actual.intact);
  EXPECT_EQ(actual.runOnCallingThread, expected.runOnCallingThread);
  EXPECT_EQ(actual.consoleApp, expected.consoleApp);
  EXPECT_EQ(actual.utf8Console, expected.utf8Console);
  EXPECT_EQ(actual.reservedFlag3, expected.reservedFlag3);
  EXPECT_EQ(actual.packageAppDataVars, expected.packageAppDataVars);
  EXPECT_EQ(actual.threadStackSize, expected.threadStackSize);
  EXPECT_EQ(actual.mainClass, expected.mainClass);
  EXPECT_EQ(actual.jvmOptions, expected.jvmOptions);
  EXPECT_EQ(actual.appArguments, expected.appArguments);
}

TEST(DecodeLaunchConfig, WellFormedBlocks) {
  const DecodeCase cases[] = {
      {"no options: argument count follows the option count",
       concat({{0x00, 0, 0, 0, 0}, text("M"), {0, 0, 1}, text("a"), {0}}),
       make(0, 0, "M", {}, {"a"})},
      {"empty strings count towards their lists",
       concat({{0x00, 0, 0, 0, 0}, text("M"), {0, 2, 0}, text("o"), {0, 2, 0, 0}}),
       make(0, 0, "M", {"", "o"}, {"", ""})},
      {"empty main class: option count at offset 6", Bytes{0x00, 0, 0, 0, 0, 0, 1, 'x', 0, 0},
       make(0, 0, "", {"x"}, {})},
      {"stack 00 80 00 00", concat({{0x00, 0x00, 0x80, 0x00, 0x00}, text("M"), {0, 0, 0}}),
       make(0, 8388608, "M", {}, {})},
      {"high bytes are unsigned", concat({{0x00, 0xFF, 0x80, 0x81, 0xFE}, text("M"), {0, 0, 0}}),
       make(0, 0xFF8081FEu, "M", {}, {})},
      {"each flag bit", concat({{0x1F, 0, 0, 0, 0}, text("M"), {0, 0, 0}}),
       make(0x1F, 0, "M", {}, {})},
      {"flag bits 5 to 7 change nothing", concat({{0xE2, 0, 0, 0, 0}, text("M"), {0, 0, 0}}),
       make(0x02, 0, "M", {}, {})},
      {"bytes taken as they stand",
       concat({{0x00, 0, 0, 0, 0}, text("é 😀"), {0, 1}, text("\"q\" ;"), {0, 0}}),
       make(0, 0, "é 😀", {"\"q\" ;"}, {})},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    expectEqual(decode(region(c.block)), c.expected);
  }
}

TEST(DecodeLaunchConfig, MostEntriesABlockCarries) {
  LaunchConfig config = make(0, 0, "M", {}, {});
  for (int i = 0; i < 255; ++i) {
    config.jvmOptions.push_back("-Do" + std::to_string(i) + "=" + std::string(20, 'x'));
    config.appArguments.push_back("arg" + std::to_string(i));
  }
  const EncodeResult encoded = encodeLaunchConfig(config);
  ASSERT_TRUE(encoded.ok()) << encoded.error;
  expectEqual(decode(encoded.region), config);
}

// Blocks that run off the end of the region are refused, never read past it.
TEST(DecodeLaunchConfig, DamagedBlocksAreRefused) {
  Bytes filler = unpackedRegion();
  Bytes noNulAnywhere(kLaunchConfigBlockSize, 'x');
  Bytes tooManyOptions = region(concat({{0, 0, 0, 0, 0}, text("M"), {0, 3}, text("a"), {0}}));
  // The option count names more strings than there are NULs before the end.
  tooManyOptions[kLaunchConfigBlockSize - 1] = 0;
  Bytes tooManyArguments = region(concat({{0, 0, 0, 0, 0}, text("M"), {0, 0, 200}}));
  Bytes lastArgumentUnended = region(concat({{0, 0, 0, 0, 0}, text("M"), {0, 0, 1}}));
  std::fill(lastArgumentUnended.begin() + 9, lastArgumentUnended.end(), 'x');
  Bytes countAtTheEnd(kLaunchConfigBlockSize, 'x');
  countAtTheEnd[kLaunchConfigBlockSize - 1] = 0;  // main class ends at the very last byte

  const struct {
    const char* name;
    const Bytes& bytes;
  } cases[] = {
      {"unpacked filler", filler},
      {"no NUL anywhere", noNulAnywhere},
      {"option count too large", tooManyOptions},
      {"argument count too large", tooManyArguments},
      {"last argument runs off the end", lastArgumentUnended},
      {"no room for the option count", countAtTheEnd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LaunchConfig config;
    EXPECT_FALSE(decodeLaunchConfig(c.bytes.data(), c.bytes.size(), config));
    EXPECT_FALSE(config.intact);
  }
  LaunchConfig tiny;
  const unsigned char five[5] = {0, 0, 0, 0, 0};
  EXPECT_FALSE(decodeLaunchConfig(five, sizeof five, tiny));
}

TEST(EncodeLaunchConfig, RefusesWhatTheBlockCannotHold) {
  const struct {
    const char* name;
    LaunchConfig config;
    const char* error;
  } cases[] = {
      {"256 options", make(0, 0, "M", std::vector<std::string>(256, "o"), {}),
       "too many JVM options: 256"},
      {"256 arguments", make(0, 0, "M", {}, std::vector<std::string>(256, "a")),
       "too many arguments: 256"},
      {"NUL in main class", make(0, 0, std::string("a\0b", 3), {}, {}), "the main class contains"},
      {"NUL in an option", make(0, 0, "M", {"ok", std::string("x\0", 2)}, {}),
       "JVM option 2 contains a NUL"},
      {"NUL in an argument", make(0, 0, "M", {}, {std::string("\0", 1)}), "argument 1 contains"},
      {"too large", make(0, 0, "M", {std::string(16457, 'x')}, {}), "needs 16467 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const EncodeResult result = encodeLaunchConfig(c.config);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
  }
}

TEST(EncodeLaunchConfig, LargestBlockKeepsTheFinalNul) {
  // 5 header bytes + "M\0" + count + option + NUL + count = 16463 bytes.
  const LaunchConfig config = make(0, 0, "M", {std::string(16453, 'x')}, {});
  const EncodeResult result = encodeLaunchConfig(config);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.region.size(), kLaunchConfigBlockSize);
  EXPECT_EQ(result.region.back(), 0);
  expectEqual(decode(result.region), config);
}

// A fake executable: `before` bytes, the marker and an unpacked region, `after` bytes.
Bytes executable(std::size_t before, std::size_t after) {
  Bytes file(before, 'x');
  file.insert(file.end(), kRegionLocator, kRegionLocator + kRegionLocatorSize);
  const Bytes region = unpackedRegion();
  file.insert(file.end(), region.begin(), region.end());
  file.insert(file.end(), after, 'y');
  return file;
}

TEST(WriteLaunchConfigBlock, WritesOverTheRegionOnly) {
  const LaunchConfig config = make(0x02, 0, "a.B", {"-Xmx1g"}, {"x"});
  const Bytes original = executable(100, 7);
  Bytes file = original;
  std::string error;
  ASSERT_TRUE(writeLaunchConfigBlock(config, file, &error)) << error;
  const auto region = static_cast<std::ptrdiff_t>(100 + kRegionLocatorSize);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + region, original.begin()));
  EXPECT_TRUE(std::equal(file.end() - 7, file.end(), original.end() - 7));
  expectEqual(decode(Bytes(file.begin() + region, file.end() - 7)), config);
}

TEST(WriteLaunchConfigBlock, RefusesWithoutChangingTheFile) {
  Bytes twice = executable(0, 0);
  const Bytes again = executable(0, 0);
  twice.insert(twice.end(), again.begin(), again.end());
  Bytes cut = executable(10, 0);
  cut.resize(cut.size() - 1);
  const struct {
    const char* name;
    Bytes file;
    LaunchConfig config;
    const char* error;
  } cases[] = {
      {"no marker", Bytes(40000, '_'), make(0, 0, "M", {}, {}),
       "no launch configuration region found: this is not a Plenwick launcher"},
      {"marker twice", twice, make(0, 0, "M", {}, {}),
       "the launch configuration region's marker occurs more than once"},
      {"region cut short", cut, make(0, 0, "M", {}, {}),
       "the launch configuration region is cut short: the file is truncated"},
      {"configuration too large", executable(0, 0), make(0, 0, "M", {std::string(16500, 'x')}, {}),
       "the configuration needs 16510 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = c.file;
    std::string error;
    EXPECT_FALSE(writeLaunchConfigBlock(c.config, file, &error));
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    EXPECT_EQ(file, c.file);
  }
}

}  // namespace
}  // namespace plenwick

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

// An unpacked region starting with the literal `block` and its NUL.
template <std::size_t N>
Bytes region(const char (&block)[N]) {
  Bytes bytes = unpackedRegion();
  std::copy(block, block + N, bytes.begin());
  return bytes;
}

// "flags stack mainClass [option;...] [argument;...]", or "damaged".
std::string text(const LaunchConfig& c) {
  if (!c.intact) return "damaged";
  std::string out = std::to_string(c.runOnCallingThread | c.consoleApp << 1 | c.utf8Console << 2 |
                                   c.reservedFlag3 << 3 | c.packageAppDataVars << 4) +
                    " " + std::to_string(c.threadStackSize) + " " + c.mainClass + " [";
  for (const std::string& option : c.jvmOptions) out += option + ";";
  out += "] [";
  for (const std::string& argument : c.appArguments) out += argument + ";";
  return out + "]";
}

std::string decoded(const Bytes& bytes) {
  LaunchConfig config;
  EXPECT_EQ(decodeLaunchConfig(bytes.data(), bytes.size(), config), config.intact);
  return text(config);
}

LaunchConfig make(std::string mainClass, std::vector<std::string> options,
                  std::vector<std::string> arguments = {}) {
  LaunchConfig c;
  c.consoleApp = true;
  c.threadStackSize = 0x01020304;
  c.mainClass = std::move(mainClass);
  c.jvmOptions = std::move(options);
  c.appArguments = std::move(arguments);
  return c;
}

TEST(DecodeLaunchConfig, WellFormedBlocks) {
  EXPECT_EQ(decoded(region("\0\0\0\0\0M\0\0\1a")), "0 0 M [] [a;]");
  EXPECT_EQ(decoded(region("\0\0\0\0\0M\0\2\0o\0\2\0")), "0 0 M [;o;] [;;]");
  EXPECT_EQ(decoded(region("\0\0\0\0\0\0\1x\0")), "0 0  [x;] []");
  EXPECT_EQ(decoded(region("\0\xFF\x80\x81\xFEM\0\0")), "0 4286611966 M [] []");
  for (unsigned bit = 0; bit < 8; ++bit) {  // each flag its own bit; bits 5 to 7 mean nothing
    Bytes bytes = region("\0\0\0\0\0M\0\0");
    bytes[0] = static_cast<unsigned char>(1u << bit);
    EXPECT_EQ(decoded(bytes), std::to_string(bit < 5 ? 1u << bit : 0) + " 0 M [] []") << bit;
  }
  EXPECT_EQ(decoded(region("\0\0\0\0\0é 😀\0\1\"q\" ;\0")), "0 0 é 😀 [\"q\" ;;] []");
  LaunchConfig most =
      make("M", std::vector<std::string>(255, "o"), std::vector<std::string>(255, "a"));
  EXPECT_EQ(decoded(encodeLaunchConfig(most).region), text(most));
}

TEST(DecodeLaunchConfig, DamagedBlocksAreRefused) {
  Bytes tooManyOptions = region("\0\0\0\0\0M\0\3a");
  tooManyOptions.back() = 0;  // the count names more strings than there are NULs
  Bytes lastArgumentUnended = region("\0\0\0\0\0M\0\0\1");
  std::fill(lastArgumentUnended.begin() + 9, lastArgumentUnended.end(), 'x');
  Bytes countAtTheEnd(kLaunchConfigBlockSize, 'x');
  countAtTheEnd.back() = 0;  // the main class ends at the very last byte
  for (const Bytes& bytes :
       {unpackedRegion(), Bytes(kLaunchConfigBlockSize, 'x'), tooManyOptions,
        region("\0\0\0\0\0M\0\0\xC8"), lastArgumentUnended, countAtTheEnd, Bytes(5, 0)}) {
    EXPECT_EQ(decoded(bytes), "damaged");
  }
}

TEST(EncodeLaunchConfig, RefusesWhatTheBlockCannotHold) {
  const struct {
    LaunchConfig config;
    const char* error;
  } cases[] = {
      {make("M", std::vector<std::string>(256, "o")), "too many JVM options: 256"},
      {make("M", {}, std::vector<std::string>(256, "a")), "too many arguments: 256"},
      {make(std::string("a\0b", 3), {}), "the main class contains"},
      {make("M", {"ok", std::string("x\0", 2)}), "JVM option 2 contains a NUL"},
      {make("M", {}, {std::string("\0", 1)}), "argument 1 contains"},
      {make("M", {std::string(16454, 'x')}), "needs 16464 bytes"},
  };
  for (const auto& c : cases) {
    const EncodeResult result = encodeLaunchConfig(c.config);
    EXPECT_NE(result.error.find(c.error), std::string::npos) << c.error << ": " << result.error;
    EXPECT_FALSE(result.ok());
  }
  const LaunchConfig largest = make("M", {std::string(16453, 'x')});  // 16463 bytes and the NUL
  EXPECT_EQ(decoded(encodeLaunchConfig(largest).region), text(largest));
}

Bytes executable(std::size_t before, std::size_t after) {
  Bytes file(before, 'x');
  file.insert(file.end(), kRegionLocator, kRegionLocator + kRegionLocatorSize);
  const Bytes region = unpackedRegion();
  file.insert(file.end(), region.begin(), region.end());
  file.insert(file.end(), after, 'y');
  return file;
}

TEST(WriteLaunchConfigBlock, WritesOverTheRegionOnlyOrNotAtAll) {
  const LaunchConfig config = make("a.B", {"-Xmx1g"}, {"x"});
  const Bytes original = executable(100, 7);
  Bytes file = original;
  std::string error;
  ASSERT_TRUE(writeLaunchConfigBlock(config, file, &error)) << error;
  const auto start = static_cast<std::ptrdiff_t>(100 + kRegionLocatorSize);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + start, original.begin()));
  EXPECT_TRUE(std::equal(file.end() - 7, file.end(), original.end() - 7));
  EXPECT_EQ(decoded(Bytes(file.begin() + start, file.end() - 7)), text(config));

  Bytes twice = executable(0, 0);
  twice.insert(twice.end(), twice.begin(), twice.end());
  Bytes cut = executable(10, 0);
  cut.pop_back();
  const std::pair<Bytes, const char*> cases[] = {
      {Bytes(40000, '_'), "no launch configuration region found: this is not a Plenwick launcher"},
      {twice, "the launch configuration region's marker occurs more than once"},
      {cut, "the launch configuration region is cut short: the file is truncated"},
  };
  for (const auto& [bytes, message] : cases) {
    Bytes changed = bytes;
    EXPECT_FALSE(writeLaunchConfigBlock(config, changed, &error));
    EXPECT_EQ(error.rfind(message, 0), 0u) << error;
    EXPECT_EQ(changed, bytes);
  }
}

}  // namespace
}  // namespace plenwick

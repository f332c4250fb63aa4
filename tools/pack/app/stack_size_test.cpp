#include "tools/pack/app/stack_size.h"

#include <gtest/gtest.h>

#include <utility>

namespace plenwick {
namespace {

TEST(ParseStackSize, SuffixesAndLimits) {
  const std::pair<const char*, uint32_t> good[] = {
      {"512k", 524288}, {"2M", 2097152}, {"4095M", 4095u << 20}, {"4294967295", 4294967295u}};
  uint32_t size = 0;
  for (const auto& [text, expected] : good) {
    EXPECT_TRUE(parseStackSize(text, size)) << text;
    EXPECT_EQ(size, expected) << text;
  }
  for (const char* bad : {"4096M", "4294967296", "", "-1", "2G", "1.5M", "2MB"})
    EXPECT_FALSE(parseStackSize(bad, size)) << bad;
}

}  // namespace
}  // namespace plenwick

#include "startup/home.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(HomeAssignment, CutToTheBuffer) {
  const std::string exact506(506, 'p');
  const std::string long600(600, 'p');
  const struct {
    const char* name;
    const char* profile;
    std::string expected;
  } cases[] = {
      {"plain", "C:\\Users\\u", "HOME=C:\\Users\\u"},
      {"empty", "", "HOME="},
      {"unset leaves HOME alone", nullptr, ""},
      {"506 bytes fit", exact506.c_str(), "HOME=" + std::string(506, 'p')},
      {"longer values keep their first 506 bytes", long600.c_str(),
       "HOME=" + std::string(506, 'p')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(homeAssignment(c.profile), c.expected);
  }
}

}  // namespace
}  // namespace plenwick

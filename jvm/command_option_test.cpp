#include "jvm/command_option.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(CommandOption, DefaultsThenCommandLine) {
  const struct {
    std::vector<std::string> defaults;
    std::vector<const char*> argv;  // argv[0] is the program
    std::string option;             // after "-Dsun.java.command=M"
    std::vector<std::string> array;
  } cases[] = {
      {{}, {"app"}, "", {}},
      {{"a", "b"}, {"app", "x", "y"}, " a b x y", {"a", "b", "x", "y"}},
      {{}, {"app", "b c"}, " b c", {"b c"}},
      {{}, {"app", ""}, " ", {""}},
      {{"\"q\""}, {"app", "&&"}, " \"q\" &&", {"\"q\"", "&&"}},  // no quoting
      {{"d"}, {}, " d", {"d"}},                                  // no program name
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    std::vector<char*> argv;
    for (const char* a : c.argv) argv.push_back(const_cast<char*>(a));
    const int argc = static_cast<int>(argv.size());
    EXPECT_EQ(buildCommandOption("M", c.defaults, argc, argv.data()),
              "-Dsun.java.command=M" + c.option);
    EXPECT_EQ(collectArguments(c.defaults, argc, argv.data()), c.array);
  }
}

}  // namespace
}  // namespace plenwick

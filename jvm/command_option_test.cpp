#include "jvm/command_option.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(CommandOption, DefaultsThenCommandLine) {
  const struct {
    const char* name;
    std::vector<std::string> defaults;
    std::vector<const char*> argv;  // argv[0] is the program
    std::string option;
    std::vector<std::string> array;
  } cases[] = {
      {"nothing", {}, {"app"}, "-Dsun.java.command=M", {}},
      {"defaults then command line",
       {"a", "b"},
       {"app", "x", "y"},
       "-Dsun.java.command=M a b x y",
       {"a", "b", "x", "y"}},
      {"a space stays inside one element", {}, {"app", "b c"}, "-Dsun.java.command=M b c", {"b c"}},
      {"empty argument leaves a trailing space", {}, {"app", ""}, "-Dsun.java.command=M ", {""}},
      {"no quoting", {"\"q\""}, {"app", "&&"}, "-Dsun.java.command=M \"q\" &&", {"\"q\"", "&&"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<char*> argv;
    for (const char* a : c.argv) argv.push_back(const_cast<char*>(a));
    const int argc = static_cast<int>(argv.size());
    EXPECT_EQ(buildCommandOption("M", c.defaults, argc, argv.data()), c.option);
    EXPECT_EQ(collectArguments(c.defaults, argc, argv.data()), c.array);
  }
}

TEST(CommandOption, NoProgramName) {
  EXPECT_EQ(buildCommandOption("M", {"d"}, 0, nullptr), "-Dsun.java.command=M d");
}

}  // namespace
}  // namespace plenwick

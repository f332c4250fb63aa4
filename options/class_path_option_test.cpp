#include "options/class_path_option.h"

#include <gtest/gtest.h>

#include <string>

namespace plenwick {
namespace {

TEST(ClassPathOption, SetsClassPath) {
  const struct {
    const char* option;
    bool sets;
  } cases[] = {
      {"-Djava.class.path=a.jar", true},
      {"-Djava.class.path=", true},
      {"-cp", true},
      {"-cp x.jar", true},
      {"-cp=x.jar", true},
      {"-classpath", true},
      {"-classpath x.jar", true},
      {"--class-path", true},
      {"--class-path=x.jar", true},
      {"--class-path x.jar", true},
      {"-cpx", false},
      {"-classpathx", false},
      {"-Djava.class.path", false},
      {"-Dx=-cp a", false},
      {" -cp a", false},
      {"-Xmx1g", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    EXPECT_EQ(setsClassPath(c.option), c.sets);
  }
}

TEST(ClassPathOption, ValueStart) {
  const struct {
    const char* text;
    std::size_t start;
  } cases[] = {
      {"-Djava.class.path=a", 18},
      {"-cp a", 4},
      {"-classpath a", 11},
      {"-cpx a", std::string::npos},
      {"-classpath=a", std::string::npos},
      {"-Dsun.java.command=M -cp a", 25},
      {"-cp x;-Djava.class.path=y", 24},  // the property wins wherever it stands
      {"-classpath x -cp y", 17},         // -cp before -classpath
      {"-Xmx1g", std::string::npos},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(classPathValueStart(c.text), c.start);
  }
}

}  // namespace
}  // namespace plenwick

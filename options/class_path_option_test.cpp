#include "options/class_path_option.h"

#include <gtest/gtest.h>

#include <string>

namespace plenwick {
namespace {

TEST(ClassPathOption, SetsClassPathAndValueStart) {
  const std::size_t none = std::string::npos;
  const struct {
    const char* option;
    bool sets;
    std::size_t start;  // of the class path value
  } cases[] = {
      {"-Djava.class.path=a", true, 18},
      {"-Djava.class.path=", true, 18},
      {"-cp", true, none},
      {"-cp x.jar", true, 4},
      {"-cp=x.jar", true, none},
      {"-classpath x.jar", true, 11},
      {"--class-path", true, none},
      {"--class-path=x.jar", true, none},
      {"--class-path x.jar", true, none},
      {"-cpx a", false, none},
      {"-classpathx", false, none},
      {"-classpath=a", true, none},
      {"-Djava.class.path", false, none},
      {"-Dx=-cp a", false, 8},
      {" -cp a", false, 5},
      {"-Dsun.java.command=M -cp a", false, 25},
      {"-cp x;-Djava.class.path=y", true, 24},  // the property wins wherever it stands
      {"-classpath x -cp y", true, 17},         // -cp before -classpath
      {"-Xmx1g", false, none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    EXPECT_EQ(setsClassPath(c.option), c.sets);
    EXPECT_EQ(classPathValueStart(c.option), c.start);
  }
}

}  // namespace
}  // namespace plenwick

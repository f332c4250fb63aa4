#include "options/class_path_option.h"

#include <gtest/gtest.h>

#include <string>

#include "options/class_path_wildcards.h"
#include "tests/support/fake_platform.h"

namespace plenwick {
namespace {

// Both users of the rule on one table: the packer refuses every option the
// launcher reads a class path in, wherever in the option, and the java
// command's own forms, which the launcher leaves alone.
TEST(ClassPathOption, PackerRefusesWhatLauncherExpands) {
  const struct {
    const char* option;
    bool refused;          // by the packer's check
    const char* launched;  // the launcher's rewriting, "lib/*" holding a.jar
  } cases[] = {
      {"-Djava.class.path=x:lib/*", true, "-Djava.class.path=x:lib/a.jar"},
      {"-cp lib/*", true, "-cp lib/a.jar"},
      {"-classpath lib/*", true, "-classpath lib/a.jar"},
      {"-Dx=-cp lib/*", true, "-Dx=-cp lib/a.jar"},
      {"-Dsun.java.command=M -cp lib/*", true, "-Dsun.java.command=M -cp lib/a.jar"},
      {"-cp a -Djava.class.path=lib/*", true, "-cp a -Djava.class.path=lib/a.jar"},
      {"-cp=lib/*", true, "-cp=lib/*"},
      {"-classpath=lib/*", true, "-classpath=lib/*"},
      {"--class-path lib/*", true, "--class-path lib/*"},
      {"--class-path=lib/*", true, "--class-path=lib/*"},
      {"--class-path", true, "--class-path"},
      {"-cp", true, "-cp"},
      {"-Djava.class.path", true, "-Djava.class.path"},
      {"-Djava.class.pathx=lib/*", false, "-Djava.class.pathx=lib/*"},
      {"-cpx lib/*", false, "-cpx lib/*"},
      {"-Xmx1g", false, "-Xmx1g"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    EXPECT_EQ(setsClassPath(c.option), c.refused);
    std::string option = c.option;
    FakeDirectorySearch search(FakeDirectorySearch::Listings{{"lib/*", {"a.jar"}}});
    expandClassPathWildcards(option, kPosixConventions, search);
    EXPECT_EQ(option, c.launched);
  }
}

}  // namespace
}  // namespace plenwick

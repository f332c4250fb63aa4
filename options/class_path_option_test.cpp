#include "options/class_path_option.h"

#include <gtest/gtest.h>

#include <string>

#include "options/class_path_wildcards.h"
#include "tests/support/fake_platform.h"

namespace plenwick {
namespace {

// Both users of the rule on one table: the packer refuses an option exactly
// when it sets the class path, and only then does the launcher expand it.
TEST(ClassPathOption, PackerRefusesWhatLauncherExpands) {
  const struct {
    const char* option;
    bool refused;          // by the packer's check
    const char* launched;  // the launcher's rewriting, "lib/*" holding a.jar
  } cases[] = {
      {"-Djava.class.path=x:lib/*", true, "-Djava.class.path=x:lib/a.jar"},
      {"-Djava.class.path", true, "-Djava.class.path"},
      {"-cp lib/*", true, "-cp lib/a.jar"},
      {"-cp=lib/*", true, "-cp=lib/a.jar"},
      {"-cp", true, "-cp"},
      {"-classpath lib/*", true, "-classpath lib/a.jar"},
      {"-classpath=lib/*", true, "-classpath=lib/a.jar"},
      {"--class-path lib/*", true, "--class-path lib/a.jar"},
      {"--class-path=lib/*", true, "--class-path=lib/a.jar"},
      {"-Djava.class.path lib/*", false, "-Djava.class.path lib/*"},
      {"-Djava.class.pathx=lib/*", false, "-Djava.class.pathx=lib/*"},
      {"-cpx lib/*", false, "-cpx lib/*"},
      {"-Dx=-cp lib/*", false, "-Dx=-cp lib/*"},
      {"-Dsun.java.command=M -cp lib/*", false, "-Dsun.java.command=M -cp lib/*"},
      {" -cp lib/*", false, " -cp lib/*"},
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

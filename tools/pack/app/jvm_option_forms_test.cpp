#include "tools/pack/app/jvm_option_forms.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

using Options = std::vector<std::string>;

TEST(JvmOptionForms, JoinedKeptAndRefused) {
  const struct {
    Options written;
    Options packed;       // when accepted
    const char* message;  // in the note when accepted, in the error when refused
    bool accepted;
  } cases[] = {
      {{"-Xmx1g", "--add-opens=a/b=ALL-UNNAMED", "-Dx=--add-opens y", "-pp", "--add-modulesx"},
       {"-Xmx1g", "--add-opens=a/b=ALL-UNNAMED", "-Dx=--add-opens y", "-pp", "--add-modulesx"},
       "",
       true},
      {{"--add-exports", "java.desktop/sun.awt=ALL-UNNAMED", "-Xmx1g"},
       {"--add-exports=java.desktop/sun.awt=ALL-UNNAMED", "-Xmx1g"},
       "(one word, with '='): '--add-exports=java.desktop/sun.awt=ALL-UNNAMED'",
       true},
      {{"--add-opens  a/b=c", "-p", "&&mods", "-p m", "--add-modules", "--add-reads"},
       {"--add-opens=a/b=c", "--module-path=&&mods", "--module-path=m",
        "--add-modules=--add-reads"},
       "'--add-opens=a/b=c', '--module-path=&&mods', '--module-path=m', "
       "'--add-modules=--add-reads'",
       true},
      {{"--patch-module", "m=p", "--enable-native-access", "ALL-UNNAMED"},
       {"--patch-module=m=p", "--enable-native-access=ALL-UNNAMED"},
       "",
       true},
      {{"-Xmx1g", "--limit-modules"},
       {},
       "'--limit-modules' needs a value: write --limit-modules=",
       false},
      {{"-jar", "app.jar"},
       {},
       "'-jar' is an option of the java command, which a JVM created "
       "through JNI refuses: name the main jar with 'mainJar'",
       false},
      {{"-splash:s.png"}, {}, "is not supported: the java command shows the splash image", false},
      {{"@options.txt"}, {}, "give their options one by one", false},
      {{"--source=11"}, {}, "runs a source file", false},
      {{"--module", "m/c"}, {}, "starts a main module", false},
      {{"-XshowSettings:all"}, {}, "print something and exit", false},
      {{"-version"}, {}, "print something and exit", false},
      {{"-server"}, {}, "picks a JVM", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    JvmOptionForms forms;
    std::string error;
    ASSERT_EQ(toJvmOptionForms(c.written, &forms, &error), c.accepted) << error;
    EXPECT_NE((c.accepted ? forms.note : error).find(c.message), std::string::npos)
        << forms.note << error;
    if (c.accepted) {
      EXPECT_EQ(forms.options, c.packed);
    }
  }
}

}  // namespace
}  // namespace plenwick

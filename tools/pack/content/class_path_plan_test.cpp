#include "tools/pack/content/class_path_plan.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

using Strings = std::vector<std::string>;

// app/ as listed: folders before their content, sorted by name.
AppContent listing(bool windows) {
  AppContent content;
  content.windows = windows;
  for (const char* name :
       {"app.jar", "appData.jar", "dist", "dist/keys.properties", "lib", "lib/a.jar", "lib/b.jar",
        "lib/x", "lib/x/deep.jar", "plugins", "plugins/p1.jar", "plugins/p2", "plugins/p2/p2.jar",
        "readme.txt", "x*"}) {
    const std::string path(name);
    const bool folder = path.find('.') == std::string::npos;
    content.files.push_back({"/src/" + path, path, folder});
  }
  return content;
}

TEST(ClassPathPlanTest, DefaultExplicitFoldersAndExclusions) {
  const struct {
    Strings classPath, folders, exclude;
    const char* mainJar;
    Strings expected;   // the class path, when planned
    const char* error;  // empty: planned
  } cases[] = {
      {{},
       {},
       {},
       "lib/b.jar",
       {"lib/b.jar", "app.jar", "appData.jar", "lib/a.jar", "lib/x/deep.jar", "plugins/p1.jar",
        "plugins/p2/p2.jar"},
       ""},
      {{},
       {"dist/"},
       {"plugins", "*Data.jar", "lib/x"},
       "app.jar",
       {"app.jar", "dist", "lib/a.jar", "lib/b.jar"},
       ""},
      {{},
       {},
       {"plug*/*.jar"},
       "",
       {"app.jar", "appData.jar", "lib/a.jar", "lib/b.jar", "lib/x/deep.jar", "plugins/p2/p2.jar"},
       ""},
      {{"dist", "lib/*", "./app.jar", "lib/x/deep.jar"},
       {},
       {"lib/b.jar"},
       "app.jar",
       {"app.jar", "dist", "lib/a.jar", "lib/x/deep.jar"},
       ""},
      {{"*.jar", "plugins/*/*.jar"},
       {},
       {},
       "",
       {"app.jar", "appData.jar", "plugins/p2/p2.jar"},
       ""},
      {{"lib/?.jar"}, {}, {}, "", {"lib/a.jar", "lib/b.jar"}, ""},
      {{"dist"},
       {"dist"},
       {},
       "",
       {},
       "key 'classPathFolders' (option --class-path-folder): "
       "cannot be combined with 'classPath'"},
      {{"nope.jar"},
       {},
       {},
       "",
       {},
       "key 'classPath' (option --class-path): app/nope.jar is not "
       "among the application's files"},
      {{"readme.txt"}, {}, {}, "", {}, "app/readme.txt is not a jar or a folder"},
      {{"../x.jar"}, {}, {}, "", {}, "'../x.jar' is not a path inside app/"},
      {{"/lib/a.jar"}, {}, {}, "", {}, "'/lib/a.jar' is not a path inside app/"},
      {{"dist/*.jar"}, {}, {}, "", {}, "'dist/*.jar' matches no jar in app/"},
      {{}, {"lib/a.jar"}, {}, "", {}, "app/lib/a.jar is not a folder"},
      {{}, {"x*"}, {}, "", {}, "'x*' ends in '*' or '*.jar', which the launcher would take"},
      {{},
       {},
       {"extras"},
       "",
       {},
       "key 'classPathExclude' (option --class-path-exclude): "
       "'extras' matches nothing in app/"},
      {{}, {}, {"*.jar"}, "app.jar", {}, "keeps the main jar app/app.jar off the class path"},
      {{}, {}, {"*"}, "", {}, "keeps every jar of app/ off the class path"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    AppSettings settings;
    settings.classPath = c.classPath;
    settings.classPathFolders = c.folders;
    settings.classPathExclude = c.exclude;
    settings.mainJar = c.mainJar;
    AppContent content = listing(false);
    std::string error;
    EXPECT_EQ(planClassPath(settings, &content, &error), *c.error == '\0') << error;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(content.classPath, c.expected);
  }
}

// The modules of plugins count too: the jars off the class path follow the
// ones on it. Windows does not tell case apart in names or patterns.
TEST(ClassPathPlanTest, JarFilesAndWindowsCase) {
  AppSettings settings;
  settings.classPath = {"LIB/*"};
  settings.classPathExclude = {"lib/B.JAR"};
  AppContent content = listing(true);
  std::string error;
  ASSERT_TRUE(planClassPath(settings, &content, &error)) << error;
  EXPECT_EQ(content.classPath, Strings{"lib/a.jar"});
  EXPECT_EQ(content.jarFiles,
            (Strings{"/src/lib/a.jar", "/src/app.jar", "/src/appData.jar", "/src/lib/b.jar",
                     "/src/lib/x/deep.jar", "/src/plugins/p1.jar", "/src/plugins/p2/p2.jar"}));
}

// A folder that holds files keeps the JVM from caching application classes.
TEST(ClassPathPlanTest, FilledFolderOnTheClassPath) {
  const struct {
    Strings classPath;
    const char* folder;
  } cases[] = {
      {{"app.jar", "lib/a.jar"}, ""},
      {{"app.jar", "x*"}, ""},  // empty
      {{"app.jar", "x*", "lib/x", "dist"}, "lib/x"},
  };
  for (const auto& c : cases) {
    AppContent content = listing(false);
    content.classPath = c.classPath;
    EXPECT_EQ(filledClassPathFolder(content), c.folder);
  }
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/app/app_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/small_zip.h"
#include "tools/pack/app/app_options.h"
#include "tools/pack/content/app_content.h"
#include "tools/pack/launcher/packed_launcher.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

void touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
}

class AppConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/plenwick-config-test-XXXXXX";
    dir_ = mkdtemp(pattern);
    for (const char* file :
         {"lib/app.jar", "lib/util.jar", "other/app.jar", "notes.txt", "rt/lib/server/libjvm.so",
          "winrt/bin/server/jvm.dll", "jdk/bin/jlink", "launcher", "boot.jar", "icon.png", "full/x",
          "earlier/.plenwick-image", "colon/a:b.jar", "token/a&&b.jar", "device/con.jar",
          "case/App.jar", "case/app.jar"}) {
      touch(dir_ / file);
    }
    for (const char* file :
         {"content/lib/dep.jar", "content/native/x.dll", "content/libx.so", "content/res/a.txt"}) {
      touch(dir_ / file);
    }
    writeSmallZip((dir_ / "content/app.jar").string(), "META-INF/MANIFEST.MF",
                  "Main-Class: app.Main\r\nClass-Path: lib/dep.jar missing.jar\r\n");
    fs::create_directories(dir_ / "plain");
    writeSmallZip((dir_ / "plain/plain.jar").string(), "META-INF/MANIFEST.MF",
                  "Manifest-Version: 1.0\r\n");
    fs::create_directories(dir_ / "linked");
    fs::create_directory_symlink("../lib", dir_ / "linked/dir");
    fs::create_directories(dir_ / "empty");
    fs::create_directories(dir_ / "exists");
  }
  void TearDown() override { fs::remove_all(dir_); }

  static json base() {
    return {{"name", "app"},    {"mainClass", "com.example.App"}, {"jars", {"lib"}},
            {"runtime", "rt"},  {"launcher", "launcher"},         {"bootstrapJar", "boot.jar"},
            {"output", "image"}};
  }

  // Writes `text` as app.json, reads it with `options` and checks the whole.
  bool load(const std::string& text, std::vector<std::string> options, AppConfig& config,
            std::string* err) {
    const std::string file = (dir_ / "app.json").string();
    std::ofstream(file) << text;
    options.insert(options.begin(), file);
    bool help = false;
    return parseImageArguments(options, config, &help, err) && validateAppConfig(config, err);
  }

  fs::path dir_;
};

TEST_F(AppConfigTest, EveryProblemNamesTheFileOrOptionAndTheKey) {
  const struct {
    const char* name;
    json patch;  // merged into base(); null removes a key
    std::vector<std::string> options;
    const char* message;  // empty: accepted
  } cases[] = {
      {"the base is fine", json::object(), {}, ""},
      {"unknown key", {{"nmae", "x"}}, {}, "app.json: unknown key 'nmae'"},
      {"name not a text", {{"name", 5}}, {}, "app.json: key 'name' must be a text"},
      {"jars not a list", {{"jars", "lib"}}, {}, "app.json: key 'jars' must be a list of texts"},
      {"list entry not a text", {{"jvmOptions", {"-Xmx1g", 2}}}, {}, "key 'jvmOptions' entry 2"},
      {"flag not a bool", {{"consoleApp", "yes"}}, {}, "key 'consoleApp' must be true or false"},
      {"stack size a bool", {{"stackSize", true}}, {}, "key 'stackSize' must be a number"},
      {"stack size negative", {{"stackSize", -1}}, {}, "key 'stackSize' must be a number"},
      {"stack size too large", {{"stackSize", "5000M"}}, {}, "key 'stackSize': '5000M' is not"},
      {"missing name",
       {{"name", nullptr}},
       {},
       "app.json: key 'name' (option --name): is required"},
      {"name with a space", {{"name", "my app"}}, {}, "key 'name': 'my app' is not usable"},
      {"name with a slash", {{"name", "../x"}}, {}, "is not usable as a file name"},
      {"version with five parts", {{"version", "1.2.3.4.5"}}, {}, "key 'version': '1.2.3.4.5'"},
      {"version part too large", {{"version", "70000"}}, {}, "is not a version"},
      {"version with letters", {{"version", "1.2b"}}, {}, "is not a version"},
      {"missing main class",
       {{"mainClass", nullptr}},
       {},
       "key 'mainClass' (option --main-class): is required"},
      {"main class with a slash", {{"mainClass", "com/example/App"}}, {}, "is not a class name"},
      {"main class with two dots", {{"mainClass", "com..App"}}, {}, "is not a class name"},
      {"class path option",
       {{"jvmOptions", {"-Djava.class.path=x.jar"}}},
       {},
       "written from 'jars'"},
      {"no jars", {{"jars", json::array()}}, {}, "key 'jars': is required"},
      {"jar missing", {{"jars", {"nope.jar"}}}, {}, "key 'jars': no such file"},
      {"not a jar", {{"jars", {"notes.txt"}}}, {}, "notes.txt is not a .jar file"},
      {"directory without jars", {{"jars", {"empty"}}}, {}, "holds no .jar file"},
      {"two jars of one name", {{"jars", {"lib", "other"}}}, {}, "two jars are named app.jar"},
      {"unknown target",
       {{"target", "macos-arm64"}},
       {},
       "key 'target': 'macos-arm64' is not a target"},
      {"jdk and runtime", {{"jdk", "jdk"}}, {}, "not both"},
      {"jdk without jmods", {{"jdk", "jdk"}, {"runtime", nullptr}}, {}, "has no jmods"},
      {"runtime is no runtime", {{"runtime", "empty"}}, {}, "is not a Linux runtime"},
      {"modules without jlink", {{"modules", {"java.base"}}}, {}, "key 'modules': only apply"},
      {"windows from a jdk",
       {{"target", "windows-x64"}, {"jdk", "jdk"}, {"runtime", nullptr}},
       {},
       "cannot be made with jlink"},
      {"windows without runtime",
       {{"target", "windows-x64"}, {"runtime", nullptr}},
       {},
       "is required for target windows-x64"},
      {"windows runtime is no runtime",
       {{"target", "windows-arm64"}},
       {},
       "is not a Windows runtime"},
      {"windows app cds",
       {{"target", "windows-x64"}, {"runtime", "winrt"}, {"appCds", true}},
       {},
       "key 'appCds': needs a training run"},
      {"two icons",
       {{"target", "windows-x64"}, {"runtime", "winrt"}, {"icons", {"icon.png", "icon.png"}}},
       {},
       "give one large PNG or five"},
      {"icon missing",
       {{"target", "windows-x64"}, {"runtime", "winrt"}, {"icons", {"no.png"}}},
       {},
       "key 'icons': no such file"},
      {"launcher missing", {{"launcher", "nope"}}, {}, "key 'launcher': no such file"},
      {"output an empty folder", {{"output", "exists"}}, {}, ""},
      {"output an earlier image", {{"output", "earlier"}}, {}, "exists already; --force"},
      {"output an earlier image, forced", {{"output", "earlier"}}, {"--force"}, ""},
      {"output another folder, forced",
       {{"output", "full"}},
       {"--force"},
       "is a folder that is not an image made by plenwick-pack"},
      {"output a file", {{"output", "notes.txt"}}, {"--force"}, "notes.txt is a file"},
      {"output holds a jar", {{"output", "lib/"}}, {"--force"}, "which this run reads"},
      {"output inside the runtime", {{"output", "rt/image"}}, {}, "lies inside"},
      {"jar name with the separator", {{"jars", {"colon"}}}, {}, "holds ':' or '&&'"},
      {"jar name with the token", {{"jars", {"token"}}}, {}, "holds ':' or '&&'"},
      {"windows jar names differing in case",
       {{"target", "windows-x64"}, {"runtime", "winrt"}, {"jars", {"case"}}},
       {},
       "two jars are named APP.JAR"},
      {"windows device jar name",
       {{"target", "windows-x64"}, {"runtime", "winrt"}, {"jars", {"device"}}},
       {},
       "'con.jar' is a device name"},
      {"windows device name",
       {{"target", "windows-arm64"}, {"runtime", "winrt"}, {"name", "Lpt3"}},
       {},
       "key 'name': 'Lpt3' is a device name"},
      {"app folder instead of jars", {{"jars", json::array()}, {"appFolder", "lib"}}, {}, ""},
      {"app folder missing",
       {{"appFolder", "nope"}},
       {},
       "app.json: key 'appFolder': no such folder"},
      {"app folder without jars",
       {{"jars", json::array()}, {"appFolder", "empty"}},
       {},
       "none in the app content"},
      {"app folder with a link to a folder",
       {{"appFolder", "linked"}},
       {},
       "is a link to a folder"},
      {"app content missing",
       {{"appContent", {"nope"}}},
       {},
       "key 'appContent': no such file or folder"},
      {"app content without a name", {{"appContent", {"/"}}}, {}, "has no name of its own"},
      {"app content clashes with a jar",
       {{"appContent", {"other/app.jar"}}},
       {},
       "app/app.jar would come from both"},
      {"output inside app content",
       {{"appContent", {"full"}}, {"output", "full/image"}},
       {},
       "lies inside"},
      {"main jar escapes app/", {{"mainJar", "../app.jar"}}, {}, "'../app.jar' lies outside app/"},
      {"main jar absent", {{"mainJar", "nope.jar"}}, {}, "app/nope.jar is not among"},
      {"main jar not a zip",
       {{"mainJar", "app.jar"}, {"mainClass", nullptr}},
       {},
       "lib/app.jar: not a zip file (too short)"},
      {"main jar without Main-Class",
       {{"jars", {"plain"}}, {"mainJar", "plain.jar"}, {"mainClass", nullptr}},
       {},
       "app/plain.jar has no Main-Class in its manifest; give 'mainClass'"},
      {"missing output", {{"output", nullptr}}, {}, "key 'output' (option --output): is required"},
      {"bad option value", json::object(), {"--name", "a b"}, "option --name: 'a b' is not usable"},
      {"unknown option", json::object(), {"--frobnicate"}, "unknown option --frobnicate"},
      {"option without value", json::object(), {"--name"}, "--name needs a value"},
      {"stray argument", json::object(), {"extra"}, "unexpected argument 'extra'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    json document = base();
    document.merge_patch(c.patch);
    AppConfig config;
    std::string error;
    const bool ok = load(document.dump(), c.options, config, &error);
    EXPECT_EQ(ok, std::string(c.message).empty()) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST_F(AppConfigTest, UnreadableFiles) {
  const struct {
    const char* name;
    const char* text;
    const char* message;
  } cases[] = {
      {"not JSON", "{\"name\": ", "app.json: not valid JSON: parse error"},
      {"a list", "[1, 2]", "app.json: must hold one JSON object"},
      {"trailing comma", "{\"name\": \"a\",}", "not valid JSON"},
      {"number too large", "{\"stackSize\": 1e999}", "not valid JSON: number overflow"},
      {"bare number too large", "8e8888888888888888", "not valid JSON: number overflow"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppConfig config;
    std::string error;
    EXPECT_FALSE(load(c.text, {}, config, &error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  AppConfig config;
  std::string error;
  bool help = false;
  EXPECT_FALSE(parseImageArguments({(dir_ / "none.json").string()}, config, &help, &error));
  EXPECT_NE(error.find("none.json: cannot read"), std::string::npos) << error;
}

// The layout of app/ from a folder, as the packed options show it: the main
// jar first, folders written with the target's separators, the folder of the
// native libraries added to the user's library path or in front.
TEST_F(AppConfigTest, AppContentLayoutForEachTarget) {
  const struct {
    json patch;
    std::vector<std::string> options;  // after -Dsun... nothing is added here
  } cases[] = {
      {{{"jvmOptions", {"-Xmx1g", "-Djava.library.path=/opt/x"}}},
       {"-Djava.class.path=&&app.jar:&&lib/dep.jar:&&plenwick-bootstrap.jar", "-Xmx1g",
        "-Djava.library.path=/opt/x:&&"}},
      {{{"target", "windows-x64"}, {"runtime", "winrt"}, {"jvmOptions", {"-Xmx1g"}}},
       {"-Djava.class.path=&&app.jar;&&lib\\dep.jar;&&plenwick-bootstrap.jar",
        "-Djava.library.path=&&native", "-Xmx1g"}},
  };
  for (const auto& c : cases) {
    json document = base();
    document.merge_patch({{"jars", json::array()},
                          {"appFolder", "content"},
                          {"mainJar", "app.jar"},
                          {"mainClass", nullptr}});
    document.merge_patch(c.patch);
    AppConfig config;
    std::string error;
    ASSERT_TRUE(load(document.dump(), {}, config, &error)) << error;
    EXPECT_EQ(config.mainClass, "app.Main");
    EXPECT_EQ(imageLaunchConfig(config, {}).jvmOptions, c.options);
    EXPECT_EQ(missingManifestClassPath(config),
              std::vector<std::string>{"the manifest of app/app.jar names missing.jar in its "
                                       "Class-Path, which is not in the image"});
  }
}

TEST_F(AppConfigTest, OptionsOverrideTheFileAndPathsFollowTheFile) {
  json document = base();
  document["jvmOptions"] = {"-Xmx1g", "-Dfrom=file"};
  document["arguments"] = {"file-argument"};
  document["consoleApp"] = true;
  document["stackSize"] = 1048576;
  AppConfig config;
  std::string error;
  const std::string elsewhere = fs::current_path().string();
  ASSERT_TRUE(load(document.dump(),
                   {"--jvm-option", "-Dfrom=cli", "--jvm-option", "-Da=b", "--no-console-app",
                    "--display-name", "My App", "--version", "3.2"},
                   config, &error))
      << error;
  EXPECT_EQ(config.jvmOptions, (std::vector<std::string>{"-Dfrom=cli", "-Da=b"}));
  EXPECT_EQ(config.arguments, (std::vector<std::string>{"file-argument"}));
  EXPECT_EQ(config.consoleApp, false);
  EXPECT_EQ(config.stackBytes, 1048576u);
  EXPECT_EQ(config.displayName, "My App");
  EXPECT_EQ(config.jarFiles, (std::vector<std::string>{(dir_ / "lib/app.jar").string(),
                                                       (dir_ / "lib/util.jar").string()}));
  EXPECT_EQ(config.launcher, (dir_ / "launcher").string()) << "relative to the file";
  EXPECT_EQ(config.target, "linux-x64");
  EXPECT_FALSE(config.windows);
  EXPECT_EQ(fs::current_path().string(), elsewhere);
}

}  // namespace
}  // namespace plenwick

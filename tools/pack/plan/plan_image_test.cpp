#include "tools/pack/plan/plan_image.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/small_zip.h"
#include "tests/support/temp_dir.h"
#include "tools/pack/app/app_options.h"
#include "tools/pack/content/app_content.h"
#include "tools/pack/files/image_marker.h"
#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class PlanImageTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    std::istringstream files(
        "lib/app.jar lib/util.jar other/app.jar notes.txt rt/lib/server/libjvm.so "
        "winrt/bin/server/jvm.dll jdk/bin/jlink launcher boot.jar icon.png full/x "
        "earlier/bin/app colon/a:b.jar token/a&&b.jar device/con.jar case/App.jar "
        "case/app.jar pipe/a|b.jar back/a\\b.jar dotted/lib./x.jar content/lib/dep.jar "
        "content/native/x.dll content/libx.so content/res/a.txt");
    for (std::string file; files >> file;) put(file);
    put("ctl/a\x01.txt");
    put("space/x.txt ");
    for (const char* folder : {"plain", "linked", "empty", "exists"})
      fs::create_directories(dir_ / folder);
    writeSmallZip(
        (dir_ / "content/app.jar").string(), "META-INF/MANIFEST.MF",
        "Main-Class: app.Main\r\nClass-Path: lib/dep.jar missing.jar \x1b]0;t\x07.jar\r\n");
    writeSmallZip((dir_ / "plain/plain.jar").string(), "META-INF/MANIFEST.MF",
                  "Manifest-Version: 1.0\r\n");
    fs::create_directory_symlink("../lib", dir_ / "linked/dir");
    RgbaBitmap square{256, 256, std::vector<unsigned char>(256 * 256 * 4, 200)};
    std::vector<unsigned char> png;
    std::string err;
    ASSERT_TRUE(encodePng(square, png, &err)) << err;
    put("type.png", std::string(png.begin(), png.end()));
    ASSERT_TRUE(writeImageMarker((dir_ / "earlier").string(), &err)) << err;
  }

  // `patch` for a Windows target with a Windows runtime.
  static json win(json patch) {
    patch.merge_patch({{"target", "windows-x64"}, {"runtime", "winrt"}});
    return patch;
  }
  // A file type with `icon`.
  static json fileType(const std::string& icon) {
    return {{"extension", "pwdoc"}, {"mimeType", "a/b"}, {"description", "D"}, {"icon", icon}};
  }
  static json base() {
    return {{"name", "app"},    {"mainClass", "com.example.App"}, {"jars", {"lib"}},
            {"runtime", "rt"},  {"launcher", "launcher"},         {"bootstrapJar", "boot.jar"},
            {"output", "image"}};
  }

  // Writes `text` as app.json, reads it with `options` and plans the image.
  bool load(const std::string& text, std::vector<std::string> options, AppSettings& settings,
            ImagePlan& plan, std::string* err) {
    options.insert(options.begin(), put("app.json", text));
    bool help = false;
    return parseImageArguments(options, settings, &help, err) && planImage(settings, &plan, err);
  }
};

TEST_F(PlanImageTest, EveryProblemNamesTheFileOrOptionAndTheKey) {
  const struct {
    json patch;  // merged into base(); null removes a key
    std::vector<std::string> options;
    const char* message;  // empty: accepted
  } cases[] = {
      {json::object(), {}, ""},
      {{{"nmae", "x"}}, {}, "app.json: unknown key 'nmae'"},
      {{{"name", 5}}, {}, "app.json: key 'name' must be a text"},
      {{{"jvmOptions", {"-Xmx1g", 2}}}, {}, "key 'jvmOptions' entry 2"},
      {{{"consoleApp", "yes"}}, {}, "key 'consoleApp' must be true or false"},
      {{{"stackSize", -1}}, {}, "key 'stackSize' must be a number"},
      {{{"stackSize", "5000M"}}, {}, "key 'stackSize': '5000M' is not"},
      {{{"name", nullptr}}, {}, "app.json: key 'name' (option --name): is required"},
      {{{"version", "1.2.3.4.5"}}, {}, "key 'version': '1.2.3.4.5'"},
      {{{"mainClass", nullptr}}, {}, "key 'mainClass' (option --main-class): is required"},
      {{{"mainClass", "com/example/App"}}, {}, "is not a class name"},
      {{{"jvmOptions", {"-Djava.class.path=x.jar"}}}, {}, "written from 'jars'"},
      {{{"jars", json::array()}}, {}, "key 'jars': is required"},
      {{{"jars", {"nope.jar"}}}, {}, "key 'jars': no such file"},
      {{{"jars", {"notes.txt"}}}, {}, "notes.txt is not a .jar file"},
      {{{"jars", {"empty"}}}, {}, "holds no .jar file"},
      {{{"target", "macos-arm64"}}, {}, "key 'target': 'macos-arm64' is not a target"},
      {{{"jdk", "jdk"}}, {}, "not both"},
      {{{"jdk", "jdk"}, {"runtime", nullptr}}, {}, "has no jmods"},
      {{{"runtime", "empty"}}, {}, "is not a Linux runtime"},
      {{{"modules", {"java.base"}}}, {}, "key 'modules': only apply"},
      {{{"target", "windows-x64"}, {"jdk", "jdk"}, {"runtime", nullptr}}, {}, "with jlink"},
      {{{"target", "windows-x64"}, {"runtime", nullptr}}, {}, "is required for target windows-x64"},
      {{{"target", "windows-arm64"}}, {}, "is not a Windows runtime"},
      {win({{"appCds", true}}), {}, "key 'appCds': needs a training run"},
      {win({{"icons", {"icon.png", "icon.png"}}}), {}, "give one large PNG or five"},
      {{{"launcher", "nope"}}, {}, "key 'launcher': no such file"},
      {{{"output", "exists"}}, {}, ""},
      {{{"output", "earlier"}}, {}, "exists already; --force"},
      {{{"output", "earlier"}}, {"--force"}, ""},
      {{{"output", "notes.txt"}}, {"--force"}, "notes.txt is a file"},
      {{{"output", "linked/dir"}}, {"--force"}, "leads there through a link"},
      {{{"output", "lib/"}}, {"--force"}, "which this run reads"},
      {{{"jars", {"colon"}}}, {}, "(app/a:b.jar) holds ':' or '&&', which would break"},
      {{{"jars", {"token"}}}, {}, "(app/a&&b.jar) holds ':' or '&&'"},
      {{{"jars", json::array()}, {"appFolder", "colon"}}, {}, "(app/a:b.jar) holds ':'"},
      {{{"jars", {"pipe", "back"}}}, {}, ""},
      {win({{"jars", {"colon"}}}), {}, "holds ':', which Windows cannot hold in a file name"},
      {win({{"jars", {"pipe"}}}), {}, "(app/a|b.jar) holds '|', which Windows cannot hold"},
      {win({{"jars", {"back"}}}), {}, "holds '\\', which Windows"},
      {win({{"appFolder", "dotted"}}), {}, "key 'appFolder': the name of "},
      {win({{"appFolder", "dotted"}}), {}, "(app/lib.) ends in a dot, which Windows cannot"},
      {win({{"appContent", {"space/x.txt "}}}), {}, "ends in a space, which Windows"},
      {win({{"appContent", {"ctl"}}}), {}, "holds the control character 0x01, which Windows"},
      {win({{"jars", {"case"}}}), {}, "key 'jars': app/app.jar would come from both"},
      {win({{"jars", {"device"}}}), {}, "(app/con.jar) is a device name on Windows"},
      {win({{"name", "Lpt3"}}), {}, "key 'name': 'Lpt3' is a device name"},
      {win({{"name", "app."}}), {}, "key 'name': 'app.' ends in a dot"},
      {{{"appFolder", "nope"}}, {}, "app.json: key 'appFolder': no such folder"},
      {{{"jars", json::array()}, {"appFolder", "empty"}}, {}, "none in the app content"},
      {{{"appFolder", "linked"}}, {}, "is a link to a folder"},
      {{{"appContent", {"nope"}}}, {}, "key 'appContent': no such file or folder"},
      {{{"appContent", {"/"}}}, {}, "has no name of its own"},
      {{{"appContent", {"other/app.jar"}}}, {}, "app/app.jar would come from both"},
      {{{"appContent", {"full"}}, {"output", "full/image"}}, {}, "lies inside"},
      {{{"mainJar", "../app.jar"}}, {}, "'../app.jar' lies outside app/"},
      {{{"mainJar", "nope.jar"}}, {}, "app/nope.jar is not among"},
      {{{"mainJar", "app.jar"}, {"mainClass", nullptr}}, {}, "lib/app.jar: not a zip file"},
      {{{"jars", {"plain"}}, {"mainJar", "plain.jar"}, {"mainClass", nullptr}},
       {},
       "no Main-Class"},
      {{{"output", nullptr}}, {}, "key 'output' (option --output): is required"},
      {{{"sign", {{"certificate", "boot.jar"}}}}, {}, "sign: only Windows targets are signed"},
      {{{"fileAssociations", json::array({fileType("type.png")})}}, {}, ""},
      {{{"fileAssociations", json::array({fileType("icon.png")})}},
       {},
       "icon.png: not a readable PNG"},
      {{{"fileAssociations", json::array({fileType("nope.png")})}},
       {},
       "app.json: key 'fileAssociations': entry 1: icon: no such file"},
      {{{"fileAssociations", json::array({fileType("type.png"), fileType("")})}},
       {},
       "entry 2: extension"},
      {{{"output", std::string("out\0/../../../x", 15)}}, {}, "key 'output' holds a NUL"},
      {json::object(), {"--output", std::string("o\0x", 3)}, "option --output holds a NUL"},
      {json::object(), {"--name", "a b"}, "option --name: 'a b' is not usable"},
      {json::object(), {"--frobnicate"}, "unknown option --frobnicate"},
      {json::object(), {"--name"}, "--name needs a value"},
      {json::object(), {"extra"}, "unexpected argument 'extra'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.patch.dump() + " " + c.message);
    json document = base();
    document.merge_patch(c.patch);
    AppSettings settings;
    ImagePlan plan;
    std::string error;
    EXPECT_EQ(load(document.dump(), c.options, settings, plan, &error), *c.message == '\0')
        << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST_F(PlanImageTest, UnreadableFiles) {
  const std::pair<const char*, const char*> cases[] = {
      {"{\"name\": ", "app.json: not valid JSON: parse error"},
      {"[1, 2]", "app.json: must hold one JSON object"},
      {"{\"stackSize\": 1e999}", "not valid JSON: number overflow"},
      {"{\"name\": \"a\", \"name\": \"b\"}", "app.json: key 'name' is given twice: keep one"},
      {"{\"sign\": {\"key\": \"a\", \"key\": \"a\"}}", "app.json: key 'sign.key' is given twice"},
  };
  AppSettings config;
  ImagePlan plan;
  std::string error;
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(load(text, {}, config, plan, &error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  bool help = false;
  EXPECT_FALSE(parseImageArguments({(dir_ / "none.json").string()}, config, &help, &error));
  EXPECT_NE(error.find("none.json: No such file"), std::string::npos) << error;
}

// The layout of app/ from a folder, as the packed options show it: the main
// jar first, folders written with the target's separators, the folder of the
// native libraries added to the user's library path or in front.
TEST_F(PlanImageTest, AppContentLayoutForEachTarget) {
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
    AppSettings settings;
    ImagePlan plan;
    std::string error;
    ASSERT_TRUE(load(document.dump(), {}, settings, plan, &error)) << error;
    EXPECT_EQ(plan.launch.mainClass, "app.Main");
    EXPECT_EQ(plan.launch.jvmOptions, c.options);
    EXPECT_EQ(missingManifestClassPath(plan.content),
              (std::vector<std::string>{"the manifest of app/app.jar names missing.jar in its "
                                        "Class-Path, which is not in the image",
                                        "the manifest of app/app.jar names \\x1b]0;t\\x07.jar in "
                                        "its Class-Path, which is not in the image"}));
  }
}

TEST_F(PlanImageTest, OptionsOverrideTheFileAndPathsFollowTheFile) {
  json document = base();
  document.merge_patch({{"jvmOptions", {"-Xmx1g"}},
                        {"consoleApp", true},
                        {"stackSize", 1048576},
                        {"mainJar", "util.jar"}});
  AppSettings settings;
  ImagePlan plan;
  std::string error;
  const std::string elsewhere = fs::current_path().string();
  ASSERT_TRUE(load(document.dump(),
                   {"--jvm-option", "-Dfrom=cli", "--jvm-option", "-Da=b", "--no-console-app"},
                   settings, plan, &error))
      << error;
  EXPECT_EQ(settings.jvmOptions, (std::vector<std::string>{"-Dfrom=cli", "-Da=b"}));
  EXPECT_EQ(plan.launch.consoleApp, false);
  EXPECT_EQ(plan.launch.threadStackSize, 1048576u);
  EXPECT_EQ(plan.content.jarFiles, (std::vector<std::string>{(dir_ / "lib/util.jar").string(),
                                                             (dir_ / "lib/app.jar").string()}))
      << "the main jar first";
  EXPECT_EQ(plan.launcher.file, (dir_ / "launcher").string()) << "relative to the file";
  EXPECT_EQ(fs::current_path().string(), elsewhere);
}

}  // namespace
}  // namespace plenwick

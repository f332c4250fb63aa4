#include "tools/pack/release/wxs.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tools/pack/host/external_tool.h"
#include "tools/pack/host/process.h"
#include "tools/pack/release/name_uuid.h"

namespace plenwick {
namespace {

// The installer of "App" (version 1.0.0) from `sourceRoot`.
InstallerSpec appSpec(const char* displayName, const char* publisher, const char* sourceRoot) {
  InstallerSpec spec;
  spec.name = "App";
  spec.displayName = displayName;
  spec.version = "1.0.0";
  spec.publisher = publisher;
  spec.upgradeCode = defaultUpgradeCode("App");
  spec.sourceRoot = sourceRoot;
  return spec;
}

TEST(InstallerVersion, ThreeFieldsWithinWindowsInstallerLimits) {
  const std::pair<const char*, const char*> good[] = {{"1", "1.0.0"},
                                                      {"1.2.3.0", "1.2.3"},
                                                      {"1.2.3.4", "1.2.3.4"},
                                                      {"255.255.65535", "255.255.65535"}};
  for (const auto& c : good) {
    std::string out, err;
    EXPECT_TRUE(installerVersion(c.first, &out, &err)) << err;
    EXPECT_EQ(out, c.second);
  }
  for (const char* bad : {"256.0", "1.256", "1.2b", "1.2.3.4.5", ""}) {
    std::string out, err;
    EXPECT_FALSE(installerVersion(bad, &out, &err)) << bad;
  }
}

TEST(UpgradeCode, NameBasedStablePerNameAndCaseBlind) {
  // The RFC 4122 example of a version 5 UUID.
  EXPECT_EQ(nameUuid("6ba7b810-9dad-11d1-80b4-00c04fd430c8", "www.example.com"),
            "{2ED6657D-E927-568B-95E1-2665A8AEA6A2}");
  // A released application's installers depend on this value never changing.
  EXPECT_EQ(defaultUpgradeCode("MyApp"), "{3CB3B28F-73EA-5F62-A482-22B7E56CD07A}");
  EXPECT_EQ(defaultUpgradeCode("MyApp"), defaultUpgradeCode("myapp"));
  EXPECT_NE(defaultUpgradeCode("MyApp"), defaultUpgradeCode("MyApp2"));
}

TEST(UpgradeCode, GuidSpellings) {
  for (const char* ok :
       {"{0a1b2c3d-0000-4000-8000-00000000000f}", "0A1B2C3D-0000-4000-8000-00000000000F"}) {
    std::string normal;
    EXPECT_TRUE(parseGuid(ok, &normal)) << ok;
    EXPECT_EQ(normal, "{0A1B2C3D-0000-4000-8000-00000000000F}");
  }
  for (const char* bad :
       {"0a1b2c3d00004000800000000000000f", "{0a1b2c3d-0000-4000-8000-00000000000g}",
        "{0a1b2c3d-0000-4000-8000-00000000000f"}) {
    std::string normal;
    EXPECT_FALSE(parseGuid(bad, &normal)) << bad;
  }
}

TEST(ShortcutName, CharactersAFileNameCannotHold) {
  EXPECT_EQ(shortcutFileName("My App: <2>/B\\C|D?*\""), "My App_ _2__B_C_D___");
}

// Per-user scope and the install folder are proven by installing under Wine (the release
// stage); here what an install does not show.
TEST(WixSource, PerUserLayoutShortcutAndUpgrade) {
  InstallerSpec spec = appSpec("Tom & Jerry", "Acme", "/img");
  spec.version = "1.2.0";
  spec.files = {"app/a.jar", "bin/App.exe", "bin/server/jvm.dll", "release"};
  spec.sources["bin/App.exe"] = "/work/App.exe";
  const std::string wxs = wixSource(spec);
  const char* expected[] = {
      "Version=\"1.2.0\" Manufacturer=\"Acme\"",
      "Name=\"Tom &amp; Jerry\"",
      "<UpgradeVersion Minimum=\"1.2.1\" IncludeMinimum=\"yes\" OnlyDetect=\"yes\"",
      "IncludeMinimum=\"yes\" Maximum=\"1.2.1\" IncludeMaximum=\"no\"",
      "Name=\"server\">\n                <Component",
      "Source=\"/work/App.exe\"",
      "Source=\"/img/bin/server/jvm.dll\"",
      "Name=\"Tom &amp; Jerry.lnk\"",
      "Target=\"[INSTALLDIR]bin\\App.exe\"",
      "<Icon Id=\"AppIcon.exe\" SourceFile=\"/work/App.exe\"/>",
      "<Property Id=\"ARPPRODUCTICON\" Value=\"AppIcon.exe\"/>",
      "Root=\"HKCU\" Key=\"Software\\Acme\\App\""};
  for (const char* text : expected) EXPECT_NE(wxs.find(text), std::string::npos) << text;
  EXPECT_EQ(wxs.find("ALLUSERS"), std::string::npos);
  EXPECT_EQ(wxs.find("<RemoveFolder"), std::string::npos);  // wixl would aim it at the Start menu
  // One component per file, the install folder's and the shortcut's; stable across builds.
  std::size_t refs = 0;
  for (std::size_t at = 0; (at = wxs.find("<ComponentRef", at + 1)) != std::string::npos;) ++refs;
  EXPECT_EQ(refs, spec.files.size() + 2);
  EXPECT_EQ(wixSource(spec), wxs);
  // The upgrade range ends just above this version, in the three compared numbers.
  for (auto c : {std::make_pair("1.2.65535", "1.3.0"), std::make_pair("1.255.65535", "2.0.0"),
                 std::make_pair("1.2.3.4", "1.2.4")}) {
    spec.version = c.first;
    EXPECT_NE(wixSource(spec).find(std::string("Maximum=\"") + c.second + "\""), std::string::npos)
        << c.first;
  }
  spec.upgradeCode = defaultUpgradeCode("Other");
  EXPECT_NE(wixSource(spec).substr(wxs.find("<Component ")), wxs.substr(wxs.find("<Component ")));
}

// Brackets and braces are escaped where Windows Installer formats the text at
// install time (the registry key, the launch condition); '$' where wixl's
// preprocessor would drop or expand it.
TEST(WixSource, UserTextStaysAsWritten) {
  InstallerSpec spec = appSpec("", "", "img");
  const struct {
    const char* displayName;
    const char* publisher;
    const char* expected;
  } cases[] = {
      {"A", "Evil [ProgramFilesFolder] & {x}",
       "Key=\"Software\\Evil [\\[]ProgramFilesFolder[\\]] &amp; [\\{]x[\\}]\\App\""},
      {"A", "[%PATH]", "Manufacturer=\"[%PATH]\""},  // a property: not formatted
      {"[x] {y}", "P", "Message=\"A newer version of [\\[]x[\\]] [\\{]y[\\}] is already"},
      {"[x]", "P", "Name=\"[x]\" Language"},
      {"$5 $$", "P", "Name=\"$$5 $$$\" Language"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    spec.displayName = c.displayName;
    spec.publisher = c.publisher;
    EXPECT_NE(wixSource(spec).find(c.expected), std::string::npos) << wixSource(spec);
  }
  EXPECT_EQ(wixSourceProblem(spec), "");
  spec.files = {"app/$(env.HOME).txt"};
  EXPECT_NE(wixSourceProblem(spec).find("'app/$(env.HOME).txt' holds \"$(\""), std::string::npos);
}

// Each type's extension, class with its icon, and open verb, as per-user values.
TEST(WixSource, FileTypesUnderTheUsersClasses) {
  InstallerSpec spec = appSpec("A", "P", "img");
  spec.files = {"bin/App.exe", "icons/pwdoc.ico"};
  EXPECT_EQ(wixSource(spec).find("FileTypes"), std::string::npos);
  spec.fileTypes = {{"pwdoc", "application/x-pwdoc", "Doc <1>", "icons/pwdoc.ico"},
                    {"PwLog", "text/x-pwlog", "Log", ""}};
  const std::string wxs = wixSource(spec);
  const char* expected[] = {
      "Key=\"Software\\Classes\\.pwdoc\" Type=\"string\" Value=\"App.pwdoc\"",
      "Key=\"Software\\Classes\\.pwdoc\" Name=\"Content Type\" Type=\"string\" "
      "Value=\"application/x-pwdoc\"",
      "Key=\"Software\\Classes\\App.pwdoc\" Type=\"string\" Value=\"Doc &lt;1&gt;\"",
      "Key=\"Software\\Classes\\App.pwdoc\\DefaultIcon\" Type=\"string\" "
      "Value=\"[INSTALLDIR]icons\\pwdoc.ico,0\"",
      "Key=\"Software\\Classes\\App.PwLog\\DefaultIcon\" Type=\"string\" "
      "Value=\"[INSTALLDIR]bin\\App.exe,0\"",
      "Key=\"Software\\Classes\\App.pwdoc\\shell\\open\\command\" Type=\"string\" "
      "Value=\"&quot;[INSTALLDIR]bin\\App.exe&quot; &quot;%1&quot;\"",
      "<ComponentRef Id=\"FileTypes\"/>"};
  for (const char* text : expected) EXPECT_NE(wxs.find(text), std::string::npos) << text << wxs;
  EXPECT_EQ(wxs.find("Root=\"HKCR\""), std::string::npos);
  spec.fileTypes[1].description = "$(env.HOME)";
  EXPECT_NE(wixSourceProblem(spec).find("'$(env.HOME)' holds"), std::string::npos);
}

// What wixl makes of the escapes, read back from the package.
class WixlTest : public TempDirTest {};

TEST_F(WixlTest, PackageHoldsTheTextAsWritten) {
  std::string wixl, msiinfo, err;
  if (!findTool("wixl", "wixl", &wixl, &err) || !findTool("msiinfo", "msitools", &msiinfo, &err)) {
    GTEST_SKIP() << err;
  }
  InstallerSpec spec = appSpec("Tom [x] $5", "Evil [ProgramFilesFolder] {x} $$", "img");
  spec.files = {"bin/App.exe"};
  spec.fileTypes = {{"pwdoc", "application/x-pwdoc", "Doc [x] $5 {y}", ""}};
  put("img/bin/App.exe");
  put("app.wxs", wixSource(spec));
  ProcessOptions options;
  options.workingDirectory = dir_.string();
  const ProcessResult built = runProcess({wixl, "-a", "x86", "-o", "app.msi", "app.wxs"}, options);
  ASSERT_EQ(built.exitCode, 0) << built.output;
  const std::pair<const char*, const char*> rows[] = {
      {"Registry", "\tSoftware\\Evil [\\[]ProgramFilesFolder[\\]] [\\{]x[\\}] $$\\App\t"},
      {"LaunchCondition", "\tA newer version of Tom [\\[]x[\\]] $5 is already installed."},
      {"Property", "ProductName\tTom [x] $5\r"},
      {"Registry", "\tSoftware\\Classes\\App.pwdoc\t\tDoc [\\[]x[\\]] $5 [\\{]y[\\}]\t"},
      {"Registry", "\t\"[INSTALLDIR]bin\\App.exe\" \"%1\"\t"},
  };
  for (const auto& [table, row] : rows) {
    const ProcessResult shown = runProcess({msiinfo, "export", "app.msi", table}, options);
    EXPECT_NE(shown.output.find(row), std::string::npos) << shown.output;
  }
}

}  // namespace
}  // namespace plenwick

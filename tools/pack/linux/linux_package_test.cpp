#include "tools/pack/linux/linux_package.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

AppSettings valid() {
  AppSettings s;
  s.version = "1.2";
  s.email = "dev@example.com";
  return s;
}

TEST(LinuxPackage, NamesVersionsAndDefaults) {
  AppSettings s = valid();
  s.displayName = "Demo App";
  s.description = "Edits notes\nLong text.";
  LinuxPackage p;
  std::string err;
  ASSERT_TRUE(describeLinuxPackage(s, "Demo.App", &p, &err)) << err;
  EXPECT_EQ(p.name, "demo.app");
  EXPECT_EQ(debFileName(p), "demo.app_1.2-1_amd64.deb");
  EXPECT_EQ(rpmFileName(p), "demo.app-1.2-1.x86_64.rpm");
  EXPECT_EQ(installRoot(p), "/opt/demo.app");
  EXPECT_EQ(p.summary, "Edits notes");
  EXPECT_EQ(p.details, "Long text.");
  EXPECT_EQ(p.publisher, "Demo App");
  EXPECT_EQ(p.categories, std::vector<std::string>{"Utility"});
}

TEST(LinuxPackage, RefusesWhatThePackageToolsCannotTake) {
  struct Case {
    const char* command;
    void (*change)(AppSettings&);
    const char* message;
  };
  const Case cases[] = {
      {"my app", [](AppSettings&) {}, "cannot name a Linux package"},
      {"-app", [](AppSettings&) {}, "cannot name a Linux package"},
      {"app", [](AppSettings& s) { s.version = ""; }, "needs the application's version"},
      {"app", [](AppSettings& s) { s.version = "1.2-beta"; }, "is not numbers joined by dots"},
      {"app", [](AppSettings& s) { s.version = "1..2"; }, "is not numbers joined by dots"},
      {"app", [](AppSettings& s) { s.packageRevision = "1-2"; }, "is not a number"},
      {"app", [](AppSettings& s) { s.email = ""; }, "e-mail address: give one"},
      {"app", [](AppSettings& s) { s.email = "a <b@c>"; }, "is not an e-mail address"},
      {"app", [](AppSettings& s) { s.publisher = "A\nDepends: evil"; }, "control character"},
      {"app", [](AppSettings& s) { s.description = "a\tb"; }, "control character"},
      {"app", [](AppSettings& s) { s.categories = {"Office;Evil"}; }, "is not a menu category"},
  };
  for (const Case& c : cases) {
    AppSettings s = valid();
    c.change(s);
    LinuxPackage p;
    std::string err;
    EXPECT_FALSE(describeLinuxPackage(s, c.command, &p, &err)) << c.message;
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace plenwick

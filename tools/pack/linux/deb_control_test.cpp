#include "tools/pack/linux/deb_control.h"

#include <gtest/gtest.h>

#include "tools/pack/linux/desktop_entry.h"
#include "tools/pack/linux/rpm_build.h"

namespace plenwick {
namespace {

LinuxPackage demo() {
  LinuxPackage p;
  p.name = "demo";
  p.command = "Demo";
  p.displayName = "Demo \\ App";
  p.version = "1.2";
  p.revision = "3";
  p.summary = "Edits 100% of notes";
  p.details = "First line.\n\nAfter a gap.";
  p.publisher = "Acme";
  p.email = "dev@acme.example";
  p.license = "MIT";
  p.categories = {"Office", "Java"};
  p.wmClass = "com-acme-Main";
  p.hasIcon = true;
  return p;
}

TEST(DebControl, FieldsAndLongDescription) {
  EXPECT_EQ(debControl(demo(), "libc6 (>= 2.34), libx11-6", 1234),
            "Package: demo\nVersion: 1.2-3\nArchitecture: amd64\n"
            "Maintainer: Acme <dev@acme.example>\nInstalled-Size: 1234\n"
            "Depends: libc6 (>= 2.34), libx11-6\nSection: misc\nPriority: optional\n"
            "Description: Edits 100% of notes\n First line.\n .\n After a gap.\n");
}

TEST(DesktopEntry, KeysFromThePackage) {
  LinuxPackage p = demo();
  EXPECT_EQ(desktopEntry(p),
            "[Desktop Entry]\nType=Application\nName=Demo \\\\ App\n"
            "Comment=Edits 100% of notes\nExec=demo\nIcon=demo\nTerminal=false\n"
            "Categories=Office;Java;\nStartupWMClass=com-acme-Main\n");
  p.hasIcon = false;
  p.terminal = true;
  const std::string entry = desktopEntry(p);
  EXPECT_EQ(entry.find("Icon="), std::string::npos);
  EXPECT_NE(entry.find("Terminal=true\n"), std::string::npos);
}

TEST(RpmSpec, MacrosEscapedAndOwnLibrariesNotRequired) {
  const std::string spec = rpmSpec(demo(), {"libjvm.so", "libc++.so"});
  EXPECT_NE(spec.find("Summary: Edits 100%% of notes\n"), std::string::npos) << spec;
  EXPECT_NE(spec.find("%global __requires_exclude ^libjvm\\\\.so|^libc\\\\+\\\\+\\\\.so\n"),
            std::string::npos)
      << spec;
  EXPECT_NE(spec.find("%files\n/opt/demo\n/usr/bin/demo\n"), std::string::npos) << spec;
}

}  // namespace
}  // namespace plenwick

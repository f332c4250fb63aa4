#include "tools/pack/linux/mime_info.h"

#include <gtest/gtest.h>

#include "tools/pack/linux/desktop_entry.h"

namespace plenwick {
namespace {

const std::vector<FileAssociation> kTypes = {
    {"pwdoc", "application/x-pwdoc", "Plenwick <doc> & more", ""},
    {"pwlog", "text/x-pwlog", "Plenwick log", "log.png"}};

TEST(MimeInfo, OneTypeEachWithGlobAndIconEscaped) {
  EXPECT_EQ(mimeInfo(kTypes),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"application/x-pwdoc\">\n"
            "    <comment>Plenwick &lt;doc&gt; &amp; more</comment>\n"
            "    <icon name=\"application-x-pwdoc\"/>\n    <glob pattern=\"*.pwdoc\"/>\n"
            "  </mime-type>\n  <mime-type type=\"text/x-pwlog\">\n"
            "    <comment>Plenwick log</comment>\n    <icon name=\"text-x-pwlog\"/>\n"
            "    <glob pattern=\"*.pwlog\"/>\n  </mime-type>\n</mime-info>\n");
}

TEST(MimeInfo, DesktopEntryTakesFilesAndNamesTheTypes) {
  LinuxPackage p;
  p.name = "notes";
  p.fileTypes = kTypes;
  const std::string entry = desktopEntry(p);
  EXPECT_NE(entry.find("\nExec=notes %F\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-pwdoc;text/x-pwlog;\n"), std::string::npos)
      << entry;
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/content/manifest_class_path.h"

#include <gtest/gtest.h>

#include "tests/support/small_zip.h"
#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

class ManifestClassPathTest : public TempDirTest {};

// Entries are resolved from the folder of their jar (or unpacked bundle) in
// app/: a jar of the same name elsewhere does not stand in for a missing one.
TEST_F(ManifestClassPathTest, NotesByResolvedPath) {
  const struct {
    const char* name;
    const char* manifest;  // in a jar, or the file itself
  } files[] = {
      {"app.jar",
       "Class-Path: lib/dep.jar missing.jar \x1b]0;t\x07.jar /usr/share/java/x.jar "
       "file:///opt/z.jar http://host/a.jar\r\n"},
      {"lib/dep.jar", "Class-Path: ../app.jar other.jar ../../java/w.jar\r\n"},
      {"other.jar", "Manifest-Version: 1.0\r\n"},
      {"plugins/b.jar",
       "Bundle-ClassPath: .,lib/in.jar, \"external:/opt/q.jar\",external:../../java/f.jar;x=y\r\n"},
      {"bundle/META-INF/MANIFEST.MF", "Bundle-ClassPath: ../../java/g.jar\r\n"},
  };
  AppContent content;
  for (const auto& file : files) {
    const std::string source = (dir_ / file.name).string();
    if (std::string(file.name).find(".jar") != std::string::npos) {
      std::filesystem::create_directories((dir_ / file.name).parent_path());
      writeSmallZip(source, "META-INF/MANIFEST.MF", file.manifest);
    } else {
      put(file.name, file.manifest);
    }
    content.files.push_back({source, file.name, false});
  }
  const std::string absolute =
      "an absolute path: where the machine running the image has that file, it comes before the "
      "jars of app/; the packer changes no jar, so change that manifest to a path inside app/ or "
      "leave the entry out";
  const std::string outside =
      "which leads out of app/, so the image does not hold it: copy the file into app/ (and onto "
      "the class path), or change that manifest";
  const std::string app = "the manifest of app/app.jar names ";
  const std::string dep = "the manifest of app/lib/dep.jar names ";
  const std::string bundle = "the manifest of app/plugins/b.jar names ";
  EXPECT_EQ(manifestClassPathNotes(content),
            (std::vector<std::string>{
                app + "missing.jar in its Class-Path, which is not in the image",
                app + "\\x1b]0;t\\x07.jar in its Class-Path, which is not in the image",
                app + "/usr/share/java/x.jar in its Class-Path, " + absolute,
                app + "file:///opt/z.jar in its Class-Path, " + absolute,
                dep + "other.jar in its Class-Path, which is not in the image",
                dep + "../../java/w.jar in its Class-Path, " + outside,
                bundle + "external:/opt/q.jar in its Bundle-ClassPath, " + absolute,
                bundle + "external:../../java/f.jar in its Bundle-ClassPath, " + outside,
                "app/bundle/META-INF/MANIFEST.MF names ../../java/g.jar in its Bundle-ClassPath, " +
                    outside,
            }));
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/content/manifest_class_path.h"

#include <cctype>
#include <filesystem>
#include <set>

#include "tools/pack/content/file_names.h"
#include "tools/pack/content/jar_manifest.h"
#include "tools/pack/files/read_file.h"
#include "tools/pack/text/printable.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

constexpr char kBundleManifest[] = "META-INF/MANIFEST.MF";

enum class Place { kInApp, kMachine, kOutside, kElsewhere };

bool startsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "file:/x", "file:///x" are the path /x; a drive ("C:/x") is absolute too;
// any other scheme (and "file://host/x") is no file of the machine's.
bool toPath(std::string* entry) {
  if (startsWith(*entry, "file:")) {
    entry->erase(0, 5);
    if (startsWith(*entry, "//")) {
      if (!startsWith(*entry, "///")) return false;
      entry->erase(0, 2);
    }
    return true;
  }
  const std::size_t colon = entry->find(':');
  return colon == std::string::npos ||
         (colon == 1 && std::isalpha(static_cast<unsigned char>((*entry)[0])) != 0);
}

// Where `entry`, a path relative to `folder` in app/, leads; `resolved` is
// its path in app/ when it stays there.
Place placeOf(std::string entry, const std::string& folder, std::string* resolved) {
  if (!toPath(&entry)) return Place::kElsewhere;
  if (entry.empty()) return Place::kInApp;
  if (entry[0] == '/' || entry[0] == '\\' || (entry.size() > 1 && entry[1] == ':')) {
    return Place::kMachine;
  }
  *resolved = (fs::path(folder) / entry).lexically_normal().generic_string();
  while (!resolved->empty() && resolved->back() == '/') resolved->pop_back();
  if (*resolved == ".." || startsWith(*resolved, "../")) return Place::kOutside;
  return Place::kInApp;
}

struct Notes {
  const AppContent& content;
  std::set<std::string> names;  // every entry of app/, as keys
  std::vector<std::string> lines;

  // `who` names the manifest; `path` is `entry` as a path (less a prefix).
  void check(const std::string& who, const std::string& attribute, const std::string& entry,
             const std::string& path, const std::string& folder, bool mustExist) {
    std::string resolved;
    const Place place = placeOf(path, folder, &resolved);
    std::string problem;
    if (place == Place::kMachine) {
      problem =
          "an absolute path: where the machine running the image has that file, it comes "
          "before the jars of app/; the packer changes no jar, so change that manifest to a path "
          "inside app/ or leave the entry out";
    } else if (place == Place::kOutside) {
      problem =
          "which leads out of app/, so the image does not hold it: copy the file into app/ "
          "(and onto the class path), or change that manifest";
    } else if (place == Place::kInApp && mustExist &&
               names.count(fileNameKey(resolved, content.windows)) == 0) {
      problem = "which is not in the image";
    }
    if (problem.empty()) return;
    lines.push_back(printable(who + " names " + entry + " in its " + attribute + ", " + problem));
  }

  void checkJar(const AppFile& jar) {
    JarManifest manifest;
    std::string ignored;
    if (!readJarManifest(jar.source, &manifest, &ignored)) return;
    const std::string folder = fs::path(jar.name).parent_path().generic_string();
    const std::string who = "the manifest of app/" + jar.name;
    for (const std::string& entry : manifest.classPath) {
      check(who, "Class-Path", entry, entry, folder, true);
    }
    checkBundle(who, folder, manifest);
  }

  // A bundle's own paths ("lib/x.jar", ".") lie inside it, so they need not
  // be in app/; those that name the machine's files or climb out of app/ do.
  void checkBundle(const std::string& who, const std::string& folder, const JarManifest& manifest) {
    for (const std::string& entry : manifest.bundleClassPath) {
      const std::string path = startsWith(entry, "external:") ? entry.substr(9) : entry;
      check(who, "Bundle-ClassPath", entry, path, folder, false);
    }
  }

  void checkUnpackedBundle(const AppFile& file) {
    std::string text, ignored;
    JarManifest manifest;
    if (!readFile(file.source, kMiB, &text, &ignored) ||
        !parseManifest(text, &manifest, &ignored)) {
      return;
    }
    const std::string folder = fs::path(file.name).parent_path().parent_path().generic_string();
    checkBundle("app/" + file.name, folder, manifest);
  }
};

}  // namespace

std::vector<std::string> manifestClassPathNotes(const AppContent& content) {
  Notes notes{content, {}, {}};
  for (const AppFile& file : content.files) {
    notes.names.insert(fileNameKey(file.name, content.windows));
  }
  for (const AppFile& file : content.files) {
    if (file.folder) continue;
    if (endsWith(file.name, ".jar")) notes.checkJar(file);
    if (file.name == kBundleManifest || endsWith(file.name, std::string("/") + kBundleManifest)) {
      notes.checkUnpackedBundle(file);
    }
  }
  return notes.lines;
}

}  // namespace plenwick

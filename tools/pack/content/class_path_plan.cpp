#include "tools/pack/content/class_path_plan.h"

#include <algorithm>
#include <set>

#include "tools/pack/content/app_path_glob.h"
#include "tools/pack/content/file_names.h"
#include "tools/pack/content/glob.h"

namespace plenwick {
namespace {

bool fail(const AppSettings& c, const std::string& key, const std::string& problem,
          std::string* err) {
  *err = c.where(key) + ": " + problem;
  return false;
}

bool isJar(const AppFile& file) {
  const std::string& name = file.name;
  return !file.folder && name.size() >= 4 && name.compare(name.size() - 4, 4, ".jar") == 0;
}

// The class path being made: each entry of app/ once, in the order taken.
struct Picker {
  const AppSettings& c;
  AppContent& content;
  std::vector<std::string> excluded;  // the patterns of 'classPathExclude', as keys
  std::vector<const AppFile*> picked;
  std::set<std::string> taken;

  std::string key(const std::string& name) const { return fileNameKey(name, content.windows); }

  bool isExcluded(const AppFile& file) const {
    return std::any_of(excluded.begin(), excluded.end(), [&](const std::string& pattern) {
      return globCovers(pattern, key(file.name));
    });
  }
  void take(const AppFile& file) {
    if (taken.insert(key(file.name)).second) picked.push_back(&file);
  }
  const AppFile* find(const std::string& name) const {
    for (const AppFile& file : content.files) {
      if (key(file.name) == key(name)) return &file;
    }
    return nullptr;
  }
};

// The entry as a path inside app/, or a message naming the key.
bool entryInApp(const AppSettings& c, const std::string& key, const std::string& entry,
                std::string* path, std::string* err) {
  *path = pathInApp(entry);
  if (!path->empty()) return true;
  return fail(c, key,
              "'" + entry + "' is not a path inside app/: give it as the image has it, e.g. " +
                  "lib/x.jar or plugins",
              err);
}

bool readExclusions(Picker& pick, std::string* err) {
  for (const std::string& entry : pick.c.classPathExclude) {
    std::string pattern;
    if (!entryInApp(pick.c, "classPathExclude", entry, &pattern, err)) return false;
    pattern = pick.key(pattern);
    const bool used =
        std::any_of(pick.content.files.begin(), pick.content.files.end(),
                    [&](const AppFile& file) { return globMatches(pattern, pick.key(file.name)); });
    if (!used) {
      return fail(pick.c, "classPathExclude", "'" + entry + "' matches nothing in app/", err);
    }
    pick.excluded.push_back(pattern);
  }
  return true;
}

bool takeMainJar(Picker& pick, std::string* err) {
  const AppSettings& c = pick.c;
  if (c.mainJar.empty()) return true;
  const std::string main = pathInApp(c.mainJar);
  const AppFile* file = pick.find(main);
  if (file == nullptr || !isJar(*file)) {
    return fail(c, "mainJar", "app/" + main + " is not among the application's files", err);
  }
  if (pick.isExcluded(*file)) {
    return fail(c, "classPathExclude",
                "keeps the main jar app/" + main + " off the class path; it must be on it", err);
  }
  pick.take(*file);
  pick.content.mainJarFirst = true;
  return true;
}

// "dir/*" means the jars of dir, as it does for java; other patterns match
// jar names as written.
bool takeWildcard(Picker& pick, const std::string& entry, const std::string& path,
                  std::string* err) {
  std::string pattern = path;
  if (pattern == "*" || (pattern.size() > 1 && pattern.compare(pattern.size() - 2, 2, "/*") == 0)) {
    pattern += ".jar";
  }
  pattern = pick.key(pattern);
  bool found = false;
  for (const AppFile& file : pick.content.files) {
    if (!isJar(file) || !globMatches(pattern, pick.key(file.name))) continue;
    found = true;
    if (!pick.isExcluded(file)) pick.take(file);
  }
  if (found) return true;
  return fail(pick.c, "classPath", "'" + entry + "' matches no jar in app/", err);
}

bool takeNamed(Picker& pick, const std::string& key, const std::string& entry,
               const std::string& path, bool folderOnly, std::string* err) {
  const AppFile* file = pick.find(path);
  if (file == nullptr) {
    return fail(pick.c, key, "app/" + path + " is not among the application's files", err);
  }
  if (!file->folder && (folderOnly || !isJar(*file))) {
    return fail(pick.c, key,
                "app/" + path + " is not a " + (folderOnly ? "folder" : "jar or a folder"), err);
  }
  const std::string problem = classPathNameProblem(file->name, pick.content.windows);
  if (!problem.empty()) return fail(pick.c, key, "'" + entry + "' " + problem, err);
  pick.take(*file);
  return true;
}

bool takeExplicit(Picker& pick, std::string* err) {
  for (const std::string& entry : pick.c.classPath) {
    std::string path;
    if (!entryInApp(pick.c, "classPath", entry, &path, err)) return false;
    const bool ok = isGlob(path) ? takeWildcard(pick, entry, path, err)
                                 : takeNamed(pick, "classPath", entry, path, false, err);
    if (!ok) return false;
  }
  return true;
}

bool takeDefault(Picker& pick, std::string* err) {
  for (const std::string& entry : pick.c.classPathFolders) {
    std::string path;
    if (!entryInApp(pick.c, "classPathFolders", entry, &path, err) ||
        !takeNamed(pick, "classPathFolders", entry, path, true, err)) {
      return false;
    }
  }
  for (const AppFile& file : pick.content.files) {
    if (isJar(file) && !pick.isExcluded(file)) pick.take(file);
  }
  return true;
}

// The class-path jars first, in order, then the other jars of app/: the
// modules are found from all of them, since plugins loaded by the
// application need theirs too.
void listJarFiles(Picker& pick) {
  AppContent& content = pick.content;
  for (const AppFile* file : pick.picked) {
    content.classPath.push_back(file->name);
    if (!file->folder) content.jarFiles.push_back(file->source);
  }
  for (const AppFile& file : content.files) {
    if (isJar(file) && pick.taken.count(pick.key(file.name)) == 0) {
      content.jarFiles.push_back(file.source);
    }
  }
}

}  // namespace

bool planClassPath(const AppSettings& c, AppContent* content, std::string* err) {
  if (!c.classPath.empty() && !c.classPathFolders.empty()) {
    return fail(c, "classPathFolders",
                "cannot be combined with 'classPath', which replaces the whole class path: "
                "list the folders there",
                err);
  }
  Picker pick{c, *content, {}, {}, {}};
  if (!readExclusions(pick, err) || !takeMainJar(pick, err)) return false;
  if (!(c.classPath.empty() ? takeDefault(pick, err) : takeExplicit(pick, err))) return false;
  if (pick.picked.empty() && !c.classPathExclude.empty()) {
    return fail(c, "classPathExclude", "keeps every jar of app/ off the class path", err);
  }
  listJarFiles(pick);
  return true;
}

std::string filledClassPathFolder(const AppContent& content) {
  for (const std::string& entry : content.classPath) {
    const std::string inside = entry + "/";
    const bool filled =
        std::any_of(content.files.begin(), content.files.end(),
                    [&](const AppFile& file) { return file.name.rfind(inside, 0) == 0; });
    if (filled) return entry;
  }
  return "";
}

}  // namespace plenwick

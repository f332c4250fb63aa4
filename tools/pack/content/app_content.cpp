#include "tools/pack/content/app_content.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "platform/conventions.h"
#include "tools/pack/content/file_names.h"
#include "tools/pack/content/jar_manifest.h"
#include "tools/pack/runtime/app_cds.h"
#include "tools/pack/text/printable.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

const char* const kBootstrapName = "plenwick-bootstrap.jar";

bool fail(const AppSettings& c, const std::string& key, const std::string& problem,
          std::string* err) {
  *err = c.where(key) + ": " + problem;
  return false;
}

bool endsWith(const std::string& text, const std::string& end, bool anyCase) {
  if (text.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    char a = text[text.size() - end.size() + i];
    if (anyCase) a = static_cast<char>(std::tolower(static_cast<unsigned char>(a)));
    if (a != end[i]) return false;
  }
  return true;
}

bool isJar(const std::string& name) {
  return endsWith(name, ".jar", false);
}

bool isNativeLibrary(const std::string& name, bool windows) {
  return windows ? endsWith(name, ".dll", true) : endsWith(name, ".so", false);
}

// The entries of app/ as they are listed, each checked as it is added: its
// name must be a file name on the target and, for a jar, fit the class path;
// two entries of one name are refused, except folders, which merge.
struct Listing {
  const AppSettings& c;
  const bool windows;
  std::vector<AppFile>& files;
  std::map<std::string, AppFile> seen;

  Listing(const AppSettings& settings, bool forWindows, std::vector<AppFile>& into)
      : c(settings), windows(forWindows), files(into) {
    reserve({"plenwick-pack", kBootstrapName, false});
    if (!windows) reserve({"AppCDS", classCacheFile(ClassCache::appCds, c.name), false});
    if (!windows) reserve({"the AOT cache", classCacheFile(ClassCache::aot, c.name), false});
  }
  void reserve(const AppFile& file) { seen.emplace(fileNameKey(file.name, windows), file); }

  // `name` is the entry's own name, the last component of file.name.
  bool add(const std::string& key, const std::string& name, const AppFile& file, std::string* err) {
    std::string problem = windows ? windowsNameProblem(name) : "";
    if (problem.empty() && !file.folder && isJar(file.name)) {
      problem = classPathNameProblem(file.name, windows);
    }
    if (!problem.empty()) {
      return fail(
          c, key,
          "the name of " + file.source + " (app/" + file.name + ") " + problem + "; rename it",
          err);
    }
    auto found = seen.emplace(fileNameKey(file.name, windows), file);
    const AppFile& other = found.first->second;
    if (!found.second && !(file.folder && other.folder)) {
      return fail(c, key,
                  "app/" + file.name + " would come from both " + other.source + " and " +
                      file.source + (windows ? " (Windows does not tell case apart)" : ""),
                  err);
    }
    files.push_back(file);
    return true;
  }
};

// Adds what lies below `folder` as `prefix`/..., sorted by name, following
// links to files.
bool listFolder(Listing& listing, const std::string& key, const fs::path& folder,
                const std::string& prefix, std::string* err) {
  const AppSettings& c = listing.c;
  std::error_code code;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
    entries.push_back(it->path());
  }
  if (code) return fail(c, key, "cannot read " + folder.string() + ": " + code.message(), err);
  std::sort(entries.begin(), entries.end());
  for (const fs::path& entry : entries) {
    const std::string own = entry.filename().string();
    const std::string name = prefix + own;
    const fs::file_status link = fs::symlink_status(entry, code);
    const fs::file_status status = fs::status(entry, code);
    if (fs::is_symlink(link) && !fs::is_regular_file(status)) {
      return fail(c, key,
                  entry.string() +
                      (fs::exists(status) ? " is a link to a folder" : " is a dangling link") +
                      "; links in app content may only lead to files (they are copied as files)",
                  err);
    }
    if (fs::is_directory(status)) {
      if (!listing.add(key, own, {entry.string(), name, true}, err) ||
          !listFolder(listing, key, entry, name + "/", err)) {
        return false;
      }
    } else if (fs::is_regular_file(status)) {
      if (!listing.add(key, own, {entry.string(), name, false}, err)) return false;
    } else {
      return fail(c, key, entry.string() + " is a special file (a device, FIFO or socket)", err);
    }
  }
  return true;
}

bool listJars(Listing& listing, const std::vector<std::string>& jars, std::string* err) {
  for (const std::string& jar : jars) {
    const std::string name = fs::path(jar).filename().string();
    if (!listing.add("jars", name, {jar, name, false}, err)) return false;
  }
  return true;
}

bool listAppFolder(Listing& listing, std::string* err) {
  const AppSettings& c = listing.c;
  if (c.appFolder.empty()) return true;
  std::error_code code;
  if (!fs::is_directory(c.appFolder, code)) {
    return fail(c, "appFolder", "no such folder: " + c.appFolder, err);
  }
  return listFolder(listing, "appFolder", c.appFolder, "", err);
}

bool listAppContent(Listing& listing, std::string* err) {
  const AppSettings& c = listing.c;
  for (const std::string& item : c.appContent) {
    fs::path path = fs::path(item).lexically_normal();
    if (!path.has_filename()) path = path.parent_path();
    const std::string name = path.filename().string();
    std::error_code code;
    const fs::file_status status = fs::status(item, code);
    if (name.empty() || name == "." || name == ".." || path == path.root_path()) {
      return fail(c, "appContent", "'" + item + "' has no name of its own to take into app/", err);
    }
    if (fs::is_directory(status)) {
      if (!listing.add("appContent", name, {item, name, true}, err) ||
          !listFolder(listing, "appContent", item, name + "/", err)) {
        return false;
      }
    } else if (fs::is_regular_file(status)) {
      if (!listing.add("appContent", name, {item, name, false}, err)) return false;
    } else {
      return fail(c, "appContent", "no such file or folder: " + item, err);
    }
  }
  return true;
}

bool checkMainJarName(const AppSettings& c, std::string* err) {
  const fs::path path = fs::path(c.mainJar).lexically_normal();
  const std::string normal = path.generic_string();
  if (path.is_absolute() || normal.empty() || normal == "." || normal.rfind("..", 0) == 0) {
    return fail(c, "mainJar",
                "'" + c.mainJar +
                    "' lies outside app/: give the jar's path inside app/, e.g. app.jar or "
                    "lib/app.jar",
                err);
  }
  if (!isJar(normal)) return fail(c, "mainJar", "'" + c.mainJar + "' is not a .jar file", err);
  return true;
}

// The main jar first, then the jars of 'jars' in their order, then the other
// jars in the order of the listing; plenwick-bootstrap.jar is added last when
// the option is written.
bool orderClassPath(const AppSettings& c, AppContent* content, std::string* err) {
  std::vector<const AppFile*> jars;
  for (const AppFile& file : content->files) {
    if (!file.folder && isJar(file.name)) jars.push_back(&file);
  }
  const std::string main = fs::path(c.mainJar).lexically_normal().generic_string();
  auto first = std::find_if(jars.begin(), jars.end(),
                            [&](const AppFile* file) { return file->name == main; });
  if (!c.mainJar.empty() && first == jars.end()) {
    return fail(c, "mainJar", "app/" + main + " is not among the application's files", err);
  }
  if (first != jars.end()) std::rotate(jars.begin(), first, first + 1);
  content->mainJarFirst = first != jars.end();
  for (const AppFile* jar : jars) {
    content->classPath.push_back(jar->name);
    content->jarFiles.push_back(jar->source);
  }
  return true;
}

void findLibraryFolders(AppContent* content) {
  std::set<std::string> folders;
  for (const AppFile& file : content->files) {
    if (!file.folder && isNativeLibrary(file.name, content->windows)) {
      folders.insert(fs::path(file.name).parent_path().generic_string());
    }
  }
  content->libraryFolders.assign(folders.begin(), folders.end());  // "" (app/ itself) sorts first
}

bool readMainClass(const AppSettings& c, AppContent* content, std::string* err) {
  if (!c.mainClass.empty() || c.mainJar.empty()) return true;
  JarManifest manifest;
  std::string problem;
  if (!readJarManifest(content->jarFiles.front(), &manifest, &problem)) {
    return fail(c, "mainJar", problem, err);
  }
  if (printable(manifest.mainClass) != manifest.mainClass) {
    return fail(c, "mainJar",
                "the Main-Class '" + printable(manifest.mainClass) + "' in the manifest of app/" +
                    content->classPath.front() + " is not a class name like com.example.App",
                err);
  }
  if (manifest.mainClass.empty()) {
    return fail(c, "mainJar",
                "app/" + content->classPath.front() +
                    " has no Main-Class in its manifest; give 'mainClass' (option --main-class)",
                err);
  }
  content->manifestMainClass = manifest.mainClass;
  return true;
}

std::string inApp(const AppContent& c, const std::string& name) {
  std::string text = "&&" + name;
  if (c.windows) std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

}  // namespace

bool planAppContent(const AppSettings& c, bool windows, const std::vector<std::string>& jars,
                    AppContent* content, std::string* err) {
  *content = AppContent();
  content->windows = windows;
  if (!c.mainJar.empty() && !checkMainJarName(c, err)) return false;
  Listing listing(c, windows, content->files);
  if (!listJars(listing, jars, err) || !listAppFolder(listing, err) ||
      !listAppContent(listing, err) || !orderClassPath(c, content, err)) {
    return false;
  }
  if (content->classPath.empty()) {
    return fail(c, "jars", "is required: the application's jars (none in the app content)", err);
  }
  findLibraryFolders(content);
  return readMainClass(c, content, err);
}

bool copyAppContent(const AppContent& c, const std::string& app, std::string* err) {
  std::error_code code;
  for (const AppFile& file : c.files) {
    const fs::path copy = fs::path(app) / file.name;
    if (file.folder) {
      fs::create_directory(copy, code);
    } else {
      fs::copy_file(file.source, copy, code);  // a link's target, never over an existing file
    }
    if (code) {
      *err = "cannot copy " + file.source + ": " + code.message();
      return false;
    }
  }
  // Folder modes last, so that a read-only source folder can still be filled.
  for (const AppFile& file : c.files) {
    if (!file.folder) continue;
    const fs::perms mode = fs::status(file.source, code).permissions() | fs::perms::owner_all;
    if (!code) fs::permissions(fs::path(app) / file.name, mode, code);
    if (code) {
      *err = "cannot set the mode of app/" + file.name + ": " + code.message();
      return false;
    }
  }
  return true;
}

std::vector<std::string> missingManifestClassPath(const AppContent& c) {
  std::vector<std::string> lines;
  JarManifest manifest;
  std::string problem;
  if (!c.mainJarFirst || !readJarManifest(c.jarFiles.front(), &manifest, &problem)) return lines;
  std::set<std::string> names;
  for (const AppFile& file : c.files) names.insert(fileNameKey(file.name, c.windows));
  const fs::path folder = fs::path(c.classPath.front()).parent_path();
  for (const std::string& entry : manifest.classPath) {
    if (entry.find(':') != std::string::npos) continue;  // a URL with a scheme or a drive
    std::string name = (folder / entry).lexically_normal().generic_string();
    if (!name.empty() && name.back() == '/') name.pop_back();
    if (names.count(fileNameKey(name, c.windows)) != 0) continue;
    lines.push_back(printable("the manifest of app/" + c.classPath.front() + " names " + entry +
                              " in its Class-Path, which is not in the image" +
                              (name.rfind("..", 0) == 0 ? " (it lies outside app/)" : "")));
  }
  return lines;
}

std::string classPathOption(const AppContent& c) {
  const char separator = targetConventions(c.windows).listSeparator;
  std::string option = "-Djava.class.path=";
  for (const std::string& jar : c.classPath) option += inApp(c, jar) + separator;
  return option + inApp(c, kBootstrapName);
}

std::vector<std::string> withLibraryPath(const AppContent& c, std::vector<std::string> options) {
  if (c.libraryFolders.empty()) return options;
  const std::string separator(1, targetConventions(c.windows).listSeparator);
  std::string folders;
  for (const std::string& folder : c.libraryFolders) {
    folders += (folders.empty() ? "" : separator) + inApp(c, folder);
  }
  const std::string key = "-Djava.library.path=";
  for (auto it = options.rbegin(); it != options.rend(); ++it) {
    if (it->rfind(key, 0) != 0) continue;
    *it += (it->size() == key.size() ? "" : separator) + folders;
    return options;
  }
  options.insert(options.begin(), key + folders);
  return options;
}

}  // namespace plenwick

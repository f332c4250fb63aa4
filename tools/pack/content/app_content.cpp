#include "tools/pack/content/app_content.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "platform/conventions.h"
#include "tools/pack/content/class_path_plan.h"
#include "tools/pack/content/file_names.h"
#include "tools/pack/content/glob.h"
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
// two entries of one name are refused, except folders, which merge. Paths
// found inside folders are matched against 'exclude'.
struct Listing {
  const AppSettings& c;
  const bool windows;
  std::vector<AppFile>& files;
  std::map<std::string, AppFile> seen;
  std::vector<bool> globsUsed;  // per glob of c.exclude: whether it left something out

  Listing(const AppSettings& settings, bool forWindows, std::vector<AppFile>& into)
      : c(settings), windows(forWindows), files(into), globsUsed(c.exclude.size()) {
    reserve({"plenwick-pack", kBootstrapName, false});
    if (!windows) reserve({"AppCDS", classCacheFile(ClassCache::appCds, c.name), false});
    if (!windows) reserve({"the AOT cache", classCacheFile(ClassCache::aot, c.name), false});
  }
  void reserve(const AppFile& file) { seen.emplace(fileNameKey(file.name, windows), file); }

  bool excluded(const std::string& name) {
    bool found = false;
    for (std::size_t i = 0; i < c.exclude.size(); ++i) {
      if (globMatches(c.exclude[i], name)) found = globsUsed[i] = true;
    }
    return found;
  }

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

// Only what the user names is followed through a link to a folder: a link
// met inside a folder could pull a tree from anywhere on the machine into app/
// unseen.
std::string linkProblem(const std::string& link, const std::string& name, bool toFolder) {
  if (!toFolder) {
    return link + " is a dangling link: leave it out with \"exclude\": [\"" + name + "\"]";
  }
  return link +
         " is a link to a folder; a folder is only taken through a link that you name: add \"" +
         name + "\" to \"exclude\" and name the link in appContent as { \"from\": \"" + link +
         "\", \"to\": \"" + name + "\" } (or leave it out with the exclude alone)";
}

std::string specialFileProblem(const std::string& file, const std::string& name) {
  return file + " is a special file (a device, FIFO or socket): leave it out with " +
         "\"exclude\": [\"" + name + "\"]";
}

bool listFolder(Listing& listing, const std::string& key, const fs::path& folder,
                const std::string& prefix, std::string* err);

// Adds `source` as app/`name`: a file, or a folder with what it holds;
// anything else is refused with `otherwise`.
bool addEntry(Listing& listing, const std::string& key, const std::string& source,
              const std::string& name, fs::file_status status, const std::string& otherwise,
              std::string* err) {
  const std::string own = fs::path(name).filename().string();
  if (fs::is_directory(status)) {
    return listing.add(key, own, {source, name, true}, err) &&
           listFolder(listing, key, source, name + "/", err);
  }
  if (fs::is_regular_file(status)) return listing.add(key, own, {source, name, false}, err);
  return fail(listing.c, key, otherwise, err);
}

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
    const std::string name = prefix + entry.filename().string();
    if (listing.excluded(name)) continue;
    const fs::file_status link = fs::symlink_status(entry, code);
    const fs::file_status status = fs::status(entry, code);
    if (fs::is_symlink(link) && !fs::is_regular_file(status)) {
      return fail(c, key, linkProblem(entry.string(), name, fs::exists(status)), err);
    }
    const std::string special = specialFileProblem(entry.string(), name);
    if (!addEntry(listing, key, entry.string(), name, status, special, err)) return false;
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

// Where an entry of appContent goes in app/: its 'to', or its own name.
bool placeOf(const AppSettings& c, const ContentItem& entry, bool windows, std::string* name,
             std::string* err) {
  if (!entry.to.empty()) {
    const std::string problem = appPathProblem(entry.to, windows);
    if (!problem.empty()) {
      return fail(c, "appContent",
                  "the \"to\" of " + entry.from + ", '" + printable(entry.to) + "', " + problem,
                  err);
    }
    *name = entry.to;
    return true;
  }
  fs::path path = fs::path(entry.from).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  *name = path.filename().string();
  if (name->empty() || *name == "." || *name == ".." || path == path.root_path()) {
    return fail(c, "appContent",
                "'" + entry.from +
                    "' has no name of its own to take into app/: give its path in app/ as "
                    "{ \"from\": ..., \"to\": ... }",
                err);
  }
  return true;
}

// The folders above a 'to' path, made unless an entry brings them.
bool addParents(Listing& listing, const ContentItem& entry, const std::string& name,
                std::string* err) {
  for (std::size_t slash = name.find('/'); slash != std::string::npos;
       slash = name.find('/', slash + 1)) {
    AppFile folder{entry.from, name.substr(0, slash), true, true};
    const std::string own = fs::path(folder.name).filename().string();
    if (!listing.add("appContent", own, folder, err)) return false;
  }
  return true;
}

// Each entry is taken whatever 'exclude' says (so that a folder left out of
// appFolder can be placed by hand); what a folder holds is matched.
bool listAppContent(Listing& listing, std::string* err) {
  const AppSettings& c = listing.c;
  for (const ContentItem& entry : c.appContent) {
    std::string name;
    if (!placeOf(c, entry, listing.windows, &name, err) || !addParents(listing, entry, name, err)) {
      return false;
    }
    std::error_code code;
    const fs::file_status status = fs::status(entry.from, code);
    const std::string otherwise = fs::exists(status)
                                      ? entry.from + " is a special file (a device, FIFO or socket)"
                                      : "no such file or folder: " + entry.from;
    if (!addEntry(listing, "appContent", entry.from, name, status, otherwise, err)) return false;
  }
  return true;
}

// Each glob is checked as a path in app/ (any target's names: '*' and '?'
// are no Windows names); one that leaves nothing out is likely misspelt.
bool checkExcludes(const AppSettings& c, std::string* err) {
  for (const std::string& glob : c.exclude) {
    const std::string problem = appPathProblem(glob, false);
    if (!problem.empty()) return fail(c, "exclude", "'" + printable(glob) + "' " + problem, err);
  }
  return true;
}

std::string unusedExcludeNote(const std::string& where, const std::string& glob) {
  std::string note = where + ": '" + glob + "' leaves nothing out";
  if (glob.rfind("**", 0) != 0) {
    note += " (globs match from app/ itself: **/" + glob + " matches at any depth)";
  }
  return printable(note);
}

void noteUnusedExcludes(const Listing& listing, AppContent* content) {
  for (std::size_t i = 0; i < listing.globsUsed.size(); ++i) {
    if (listing.globsUsed[i]) continue;
    content->notes.push_back(unusedExcludeNote(listing.c.where("exclude"), listing.c.exclude[i]));
  }
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
  if (!checkExcludes(c, err)) return false;
  Listing listing(c, windows, content->files);
  if (!listJars(listing, jars, err) || !listAppFolder(listing, err) ||
      !listAppContent(listing, err) || !planClassPath(c, content, err)) {
    return false;
  }
  noteUnusedExcludes(listing, content);
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
    if (!file.folder || file.made) continue;
    const fs::perms mode = fs::status(file.source, code).permissions() | fs::perms::owner_all;
    if (!code) fs::permissions(fs::path(app) / file.name, mode, code);
    if (code) {
      *err = "cannot set the mode of app/" + file.name + ": " + code.message();
      return false;
    }
  }
  return true;
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

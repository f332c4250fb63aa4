#include "tools/pack/linux/package_root.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "tools/pack/files/replace.h"
#include "tools/pack/linux/deb_changelog.h"
#include "tools/pack/linux/desktop_entry.h"
#include "tools/pack/linux/mime_info.h"
#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

bool failed(const std::string& what, const std::error_code& code, std::string* err) {
  *err = what + ": " + code.message();
  return false;
}

// Each folder made is 0755 and each file 0644 whatever the umask: the
// package installs them with these modes.
bool makeFolder(const fs::path& path, std::string* err) {
  fs::path built;
  std::error_code code;
  for (const fs::path& part : path) {
    built /= part;
    if (fs::exists(built, code)) continue;
    fs::create_directory(built, code);
    if (!code) fs::permissions(built, fs::perms(0755), code);
    if (code) return failed("cannot create " + built.string(), code, err);
  }
  return true;
}

bool putFile(const fs::path& path, const Bytes& bytes, std::string* err) {
  std::error_code code;
  if (!makeFolder(path.parent_path(), err) ||
      !writeFileAtomically(path.string(), bytes, 0644, err)) {
    return false;
  }
  fs::permissions(path, fs::perms(0644), code);
  return !code || failed("cannot set the mode of " + path.string(), code, err);
}

bool putText(const fs::path& path, const std::string& text, std::string* err) {
  return putFile(path, {text.begin(), text.end()}, err);
}

// std::filesystem sets a link's target's time, never the link's own.
std::error_code keepLinkTime(const fs::path& from, const fs::path& to) {
  struct stat source {};
  if (lstat(from.c_str(), &source) != 0) return {errno, std::generic_category()};
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  if (utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    return {errno, std::generic_category()};
  }
  return {};
}

// The image as it is: links stay links (an image's links are relative and
// inside it), and times are kept, folders' last, once their content is in.
bool copyKeepingTimes(const fs::path& from, const fs::path& to, std::string* err) {
  std::error_code code;
  fs::create_directory(to, code);
  if (code) return failed("cannot create " + to.string(), code, err);
  for (const fs::directory_entry& entry : fs::directory_iterator(from, code)) {
    const fs::path copy = to / entry.path().filename();
    const fs::file_status status = entry.symlink_status(code);
    if (fs::is_symlink(status)) {
      fs::copy_symlink(entry.path(), copy, code);
      if (!code) code = keepLinkTime(entry.path(), copy);
    } else if (fs::is_directory(status)) {
      if (!copyKeepingTimes(entry.path(), copy, err)) return false;
    } else if (fs::is_regular_file(status)) {
      fs::copy_file(entry.path(), copy, code);
      if (!code) fs::last_write_time(copy, fs::last_write_time(entry.path()), code);
    } else {
      *err = entry.path().string() + " is a special file (a device, FIFO or socket); remove it";
      return false;
    }
    if (code) return failed("cannot copy " + entry.path().string(), code, err);
  }
  if (code) return failed("cannot read " + from.string(), code, err);
  fs::permissions(to, fs::status(from).permissions(), code);
  if (!code) fs::last_write_time(to, fs::last_write_time(from), code);
  return !code || failed("cannot copy " + from.string(), code, err);
}

// The hicolor theme's sizes: the launcher's five and 48 px, which menus use
// most. `context` is "apps" or "mimetypes".
bool putIcons(const std::vector<std::string>& paths, const fs::path& hicolor,
              const std::string& context, const std::string& name, std::string* err) {
  std::vector<RgbaBitmap> bitmaps;
  if (!makeIconBitmaps(paths, bitmaps, err)) return false;
  bitmaps.push_back(scaleBitmap(bitmaps.back(), 48));
  for (const RgbaBitmap& bitmap : bitmaps) {
    std::string size = std::to_string(bitmap.width);
    size += "x" + size;
    Bytes png;
    if (!encodePng(bitmap, png, err) ||
        !putFile(hicolor / size / context / (name + ".png"), png, err)) {
      return false;
    }
  }
  return true;
}

// The file types' description, and each type's icon: its own, else the application's.
bool putFileTypes(const PackageRootRequest& r, const LinuxPackage& p, const fs::path& share,
                  std::string* err) {
  if (p.fileTypes.empty()) return true;
  for (const FileAssociation& type : p.fileTypes) {
    const std::vector<std::string> icon =
        type.icon.empty() ? r.icons : std::vector<std::string>{type.icon};
    if (!icon.empty() &&
        !putIcons(icon, share / "icons/hicolor", "mimetypes", mimeIconName(type.mimeType), err)) {
      return false;
    }
  }
  return putText(share / "mime/packages" / (p.name + ".xml"), mimeInfo(p.fileTypes), err);
}

std::string copyright(const LinuxPackage& p, std::time_t when) {
  std::tm utc{};
  gmtime_r(&when, &utc);
  return p.displayName + "\n\nCopyright " + std::to_string(utc.tm_year + 1900) + " " + p.publisher +
         " <" + p.email + ">\nLicense: " + p.license + "\n";
}

// Each kept lintian finding with its reason: the image goes in whole and
// unchanged, as plenwick-pack made it.
std::string lintianOverrides(const LinuxPackage& p) {
  const char* const kept[][2] = {
      {"dir-or-file-in-opt", "a self-contained application image, installed whole in /opt"},
      {"relative-symlink", "the command link is relative so that the tree works wherever it is"},
      {"unstripped-binary-or-object",
       "the image is not rewritten: its launcher holds its settings"},
      {"non-standard-file-perm", "the runtime's files keep the modes jlink gave them"},
      {"jar-not-in-usr-share", "the jars belong to the image, which stays whole in /opt"},
      {"no-manual-page", "a desktop application, started from its menu entry"},
      {"initial-upload-closes-no-bugs", "an application's own package, not uploaded to Debian"},
  };
  std::string out;
  for (const auto& [tag, reason] : kept)
    out += std::string("# ") + reason + "\n" + p.name + ": " + tag + "\n";
  return out;
}

}  // namespace

bool layOutPackageRoot(const PackageRootRequest& r, const LinuxPackage& p, const std::string& root,
                       std::string* err) {
  const fs::path base(root);
  const fs::path opt = base / "opt";
  const fs::path share = base / "usr/share";
  if (!makeFolder(opt, err) || !copyKeepingTimes(r.image, opt / p.name, err) ||
      !makeFolder(base / "usr/bin", err)) {
    return false;
  }
  std::error_code code;
  fs::create_symlink("../../opt/" + p.name + "/bin/" + p.command, base / "usr/bin" / p.name, code);
  if (code) return failed("cannot create the link usr/bin/" + p.name, code, err);
  if (!putText(share / "applications" / (p.name + ".desktop"), desktopEntry(p), err) ||
      (!r.icons.empty() && !putIcons(r.icons, share / "icons/hicolor", "apps", p.name, err)) ||
      !putFileTypes(r, p, share, err)) {
    return false;
  }
  if (!r.debian) return true;
  Bytes changelog;
  const std::time_t now = std::time(nullptr);
  return gzipBest(debChangelog(p, now), &changelog, err) &&
         putFile(share / "doc" / p.name / "changelog.Debian.gz", changelog, err) &&
         putText(share / "doc" / p.name / "copyright", copyright(p, now), err) &&
         putText(share / "lintian/overrides" / p.name, lintianOverrides(p), err);
}

uint64_t installedKiB(const std::string& root, std::string* err) {
  uint64_t total = 0;
  std::error_code code;
  for (fs::recursive_directory_iterator it(root, code), end; !code && it != end;
       it.increment(code)) {
    const fs::file_status status = it->symlink_status(code);
    total += fs::is_regular_file(status) ? (it->file_size(code) + 1023) / 1024 : 1;
  }
  if (code) failed("cannot read " + root, code, err);
  return total;
}

}  // namespace plenwick

#include "tools/pack/release/image_files.h"

#include <algorithm>
#include <filesystem>

#include "tools/pack/files/image_marker.h"
#include "tools/pack/files/output_place.h"
#include "tools/pack/files/read_file.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// Whether the link `entry` of the image at `root` (its real path) can go into
// an installer: only as the file it leads to, inside the image.
bool packableLink(const fs::path& root, const fs::path& entry, std::string* err) {
  std::error_code code;
  const fs::path target = fs::read_symlink(entry, code);
  const fs::path resolved = fs::canonical(entry, code);
  const std::string named =
      "cannot put " + entry.string() + " into an installer: it is a link to " + target.string();
  if (code) {
    *err = named + ", which does not exist; remove the link, or make the image again";
    return false;
  }
  if (!pathWithin(resolved.string(), root.string())) {
    *err = named + ", outside the image (an image made by plenwick-pack holds none); " +
           "replace the link with the file, or make the image again";
    return false;
  }
  if (!fs::is_regular_file(resolved, code)) {
    *err = named +
           ", a folder, which an installer cannot hold as a link; make the image from a runtime "
           "without links to folders (for example a copy made with cp -rL)";
    return false;
  }
  return true;
}

}  // namespace

bool imageFiles(const std::string& image, std::vector<std::string>* files, std::string* err) {
  std::error_code code;
  const fs::path root = fs::canonical(image, code);
  for (fs::recursive_directory_iterator it(root, code), end; !code && it != end;
       it.increment(code)) {
    const std::string relative = it->path().lexically_relative(root).generic_string();
    const fs::file_status own = it->symlink_status(code);
    if (relative == kImageMarker || fs::is_directory(own)) continue;
    if (fs::is_symlink(own)) {
      if (!packableLink(root, it->path(), err)) return false;
    } else if (!fs::is_regular_file(own)) {
      *err = "cannot put " + it->path().string() +
             " into an installer: it is a special file (a device, FIFO or socket); remove it";
      return false;
    }
    files->push_back(relative);
  }
  if (code) {
    *err = "cannot read " + image + ": " + code.message();
    return false;
  }
  std::sort(files->begin(), files->end());
  return true;
}

bool isElfFile(const std::string& path) {
  OpenFile file;
  unsigned char magic[4];
  std::string ignored;
  return openRegularFile(path, &file, &ignored) && file.size > 4 &&
         readAt(file, path, 0, sizeof magic, magic, &ignored) && magic[0] == 0x7F &&
         magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F';
}

}  // namespace plenwick

#include "tools/pack/files/tree_copy.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "tools/pack/files/output_place.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

bool failed(const std::string& what, const std::error_code& code, std::string* err) {
  *err = what + ": " + code.message();
  return false;
}

bool copyLink(const fs::path& root, const fs::path& link, const fs::path& copy, std::string* err) {
  std::error_code code;
  const fs::path target = fs::read_symlink(link, code);
  if (code) return failed("cannot read the link " + link.string(), code, err);
  const std::string named = "the runtime's " + link.lexically_relative(root).string() +
                            " is a link to " + target.string();
  const fs::file_status status = fs::status(link, code);
  const fs::path resolved = fs::weakly_canonical(link.parent_path() / target, code);
  if (!code && pathWithin(resolved.string(), root.string())) {
    if (!fs::exists(status)) {
      *err = named + ", which does not exist; give a runtime folder without dangling links";
      return false;
    }
    fs::create_symlink(resolved.lexically_relative(link.parent_path()), copy, code);
    return !code || failed("cannot create " + copy.string(), code, err);
  }
  if (fs::is_regular_file(status)) {
    fs::copy_file(link, copy, code);  // the file it points to, so the image stays movable
    return !code || failed("cannot copy " + link.string(), code, err);
  }
  *err = named +
         (fs::is_directory(status) ? ", a folder outside the runtime" : ", which does not exist") +
         "; give a runtime folder without such links (for example a copy made with cp -rL)";
  return false;
}

bool copyEntries(const fs::path& root, const fs::path& from, const fs::path& to, std::string* err) {
  std::error_code code;
  fs::directory_iterator entries(from, code);
  if (code) return failed("cannot read " + from.string(), code, err);
  for (const fs::directory_entry& entry : entries) {
    const fs::path& source = entry.path();
    const fs::path copy = to / source.filename();
    const fs::file_status status = entry.symlink_status(code);
    if (fs::is_symlink(status)) {
      if (!copyLink(root, source, copy, err)) return false;
    } else if (fs::is_directory(status)) {
      // Writable while it is filled, so that a read-only folder can be copied;
      // its own mode once its content is in.
      if (mkdir(copy.c_str(), 0700) != 0) {
        return failed("cannot create " + copy.string(), {errno, std::generic_category()}, err);
      }
      if (!copyEntries(root, source, copy, err)) return false;
      fs::permissions(copy, status.permissions(), code);
      if (code) return failed("cannot set the mode of " + copy.string(), code, err);
    } else if (fs::is_regular_file(status)) {
      fs::copy_file(source, copy, code);
      if (code) return failed("cannot copy " + source.string(), code, err);
    } else {
      *err = source.string() + " is a special file (a device, FIFO or socket); a runtime " +
             "holds only files, folders and links";
      return false;
    }
  }
  return true;
}

}  // namespace

bool copyRuntimeTree(const std::string& from, const std::string& to, std::string* err) {
  std::error_code code;
  const fs::path root = fs::canonical(from, code);
  if (code) return failed("cannot read the runtime " + from, code, err);
  fs::create_directory(to, code);
  if (code) return failed("cannot create " + to, code, err);
  return copyEntries(root, root, fs::path(to), err);
}

}  // namespace plenwick

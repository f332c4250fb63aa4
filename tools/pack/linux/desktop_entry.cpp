#include "tools/pack/linux/desktop_entry.h"

namespace plenwick {
namespace {

// A string value: the settings hold no control characters, so only the
// backslash needs its escape.
std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

}  // namespace

std::string desktopEntry(const LinuxPackage& p) {
  std::string categories;
  for (const std::string& category : p.categories) categories += category + ";";
  std::string types;
  for (const FileAssociation& type : p.fileTypes) types += type.mimeType + ";";
  // %F: the files opened with it, as full paths, all in one start.
  std::string out = "[Desktop Entry]\nType=Application\nName=" + escaped(p.displayName) +
                    "\nComment=" + escaped(p.summary) + "\nExec=" + p.name +
                    (types.empty() ? "" : " %F") + "\n";
  if (p.hasIcon) out += "Icon=" + p.name + "\n";
  out += std::string("Terminal=") + (p.terminal ? "true" : "false") + "\nCategories=" + categories +
         "\n";
  // Docks match a window to its entry by this class: AWT names it after the main class.
  if (!p.wmClass.empty()) out += "StartupWMClass=" + p.wmClass + "\n";
  if (!types.empty()) out += "MimeType=" + types + "\n";
  return out;
}

}  // namespace plenwick

#include "tools/pack/release/wxs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

#include "tools/pack/release/name_uuid.h"
#include "tools/pack/text/xml_escape.h"

namespace plenwick {
namespace {

// The namespace of every name-based code this tool writes into installers.
constexpr const char* kUuidSpace = "6a1f43d2-9c5e-4b7a-8e31-0d2c5f7b9a64";

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Text for an attribute of the WiX source: XML-escaped, and with each run of
// '$' one longer, since wixl's preprocessor gives back one '$' less from a run
// (and drops a lone one). "$(" cannot be written at all: see wixSourceProblem.
std::string wixText(const std::string& text) {
  const std::string xml = escapeXml(text);
  std::string out;
  for (std::size_t i = 0; i < xml.size(); ++i) {
    out += xml[i];
    if (xml[i] == '$' && (i + 1 == xml.size() || xml[i + 1] != '$')) out += '$';
  }
  return out;
}

// Text for a column that Windows Installer formats when it installs (the
// Registry key, the launch condition's message, the shortcut's target):
// brackets and braces are written as the escapes "[\[]" and the like, so that
// "[ProgramFilesFolder]" or "[%PATH]" in a publisher stays as written.
std::string formatted(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '[' || c == ']' || c == '{' || c == '}') {
      out += std::string("[\\") + c + "]";
    } else {
      out += c;
    }
  }
  return out;
}

std::string folderOf(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  return slash == std::string::npos ? "" : file.substr(0, slash);
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a file of the image lands, for a formatted column: "[INSTALLDIR]bin\\App.exe".
std::string installedPath(const std::string& file) {
  std::string path = formatted(file);
  std::replace(path.begin(), path.end(), '/', '\\');
  return "[INSTALLDIR]" + wixText(path);
}

// The image's folders as a tree: each folder with its files and sub-folders.
struct Folder {
  std::string id;
  std::vector<std::string> files;
  std::vector<std::string> children;  // relative paths
};

struct Layout {
  std::map<std::string, Folder> folders;  // "" is the install folder
  std::map<std::string, std::string> fileIds;
};

Layout layoutOf(const InstallerSpec& spec) {
  Layout layout;
  layout.folders[""].id = "INSTALLDIR";
  int next = 0;
  for (const std::string& file : spec.files) {
    std::string folder = folderOf(file);
    layout.folders[folder].files.push_back(file);
    layout.fileIds[file] = "f" + std::to_string(++next);
    // Register every missing ancestor with its parent.
    while (!folder.empty() && layout.folders[folder].id.empty()) {
      layout.folders[folder].id = "d" + std::to_string(++next);
      const std::string parent = folderOf(folder);
      layout.folders[parent].children.push_back(folder);
      folder = parent;
    }
  }
  return layout;
}

void writeFolder(const InstallerSpec& spec, const Layout& layout, const std::string& path,
                 const std::string& indent, std::string& out) {
  const Folder& folder = layout.folders.at(path);
  for (const std::string& file : folder.files) {
    const std::string id = layout.fileIds.at(file);
    auto other = spec.sources.find(file);
    const std::string source =
        other != spec.sources.end() ? other->second : spec.sourceRoot + "/" + file;
    out += indent + "<Component Id=\"c" + id.substr(1) + "\" Guid=\"" +
           nameUuid(kUuidSpace, spec.upgradeCode + ":" + lower(file)) + "\">\n";
    out += indent;
    out += "  <File Id=\"" + id + "\" Name=\"" + wixText(baseName(file));
    out += "\" Source=\"" + wixText(source) + "\" KeyPath=\"yes\"/>\n";
    out += indent + "</Component>\n";
  }
  for (const std::string& child : folder.children) {
    out += indent + "<Directory Id=\"" + layout.folders.at(child).id + "\" Name=\"" +
           wixText(baseName(child)) + "\">\n";
    writeFolder(spec, layout, child, indent + "  ", out);
    out += indent + "</Directory>\n";
  }
}

std::string registryKey(const InstallerSpec& spec) {
  return wixText(formatted("Software\\" + spec.publisher + "\\" + spec.name));
}

// The install folder's own component: the installer removes only folders that
// hold a component, and the image's files all lie in sub-folders.
std::string installFolderComponent(const InstallerSpec& spec) {
  return "            <Component Id=\"InstallFolder\" Guid=\"" +
         nameUuid(kUuidSpace, spec.upgradeCode + ":folder") +
         "\">\n              <CreateFolder/>\n"
         "              <RegistryValue Root=\"HKCU\" Key=\"" +
         registryKey(spec) +
         "\" Name=\"folder\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n"
         "            </Component>\n";
}

// The shortcut's component: its key path is a per-user registry value (a
// shortcut cannot be one). No RemoveFolder rows: wixl writes them for the
// component's own folder whatever Directory says, which would name the
// Start menu; the installer removes the emptied install folders itself.
std::string shortcutComponent(const InstallerSpec& spec) {
  std::string out = "      <Directory Id=\"ProgramMenuFolder\">\n";
  out += "        <Component Id=\"StartMenu\" Guid=\"" +
         nameUuid(kUuidSpace, spec.upgradeCode + ":shortcut") + "\">\n";
  out += "          <Shortcut Id=\"AppShortcut\" Name=\"" +
         wixText(shortcutFileName(spec.displayName)) + ".lnk\" Description=\"" +
         wixText(spec.displayName) + "\" Target=\"" + installedPath("bin/" + spec.name + ".exe") +
         "\" WorkingDirectory=\"INSTALLDIR\" Icon=\"AppIcon.exe\"/>\n";
  out += "          <RegistryValue Root=\"HKCU\" Key=\"" + registryKey(spec) +
         "\" Name=\"installed\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n";
  out += "        </Component>\n      </Directory>\n";
  return out;
}

// A string value under HKCU\Software\Classes; an empty name is the key's default value.
std::string classesValue(const std::string& key, const std::string& name,
                         const std::string& value) {
  return "              <RegistryValue Root=\"HKCU\" Key=\"" +
         wixText(formatted("Software\\Classes\\" + key)) + "\"" +
         (name.empty() ? "" : " Name=\"" + wixText(formatted(name)) + "\"") +
         " Type=\"string\" Value=\"" + value + "\"/>\n";
}

// The values that ProgId, Extension and Verb elements stand for, and the
// class's icon, written under HKCU\Software\Classes by name: wixl turns those
// elements into values of HKEY_CLASSES_ROOT (root 0) and drops the icon, and
// root 0 of this 32-bit package is the machine's 32-bit view under Wine, and
// only by a per-user rule the user's classes on Windows. The open verb starts
// the launcher with the file's full path, quoted for the spaces it may hold.
std::string fileTypesComponent(const InstallerSpec& spec) {
  const std::string launcher = installedPath("bin/" + spec.name + ".exe");
  std::string out = "            <Component Id=\"FileTypes\" Guid=\"" +
                    nameUuid(kUuidSpace, spec.upgradeCode + ":types") + "\">\n";
  out += "              <RegistryValue Root=\"HKCU\" Key=\"" + registryKey(spec) +
         "\" Name=\"types\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n";
  for (const FileAssociation& type : spec.fileTypes) {
    const std::string progId = spec.name + "." + type.extension;
    const std::string icon = type.icon.empty() ? launcher : installedPath(type.icon);
    out += classesValue("." + type.extension, "", wixText(formatted(progId)));
    out += classesValue("." + type.extension, "Content Type", wixText(type.mimeType));
    out += classesValue(progId, "", wixText(formatted(type.description)));
    out += classesValue(progId + "\\DefaultIcon", "", icon + ",0");
    out += classesValue(progId + "\\shell\\open\\command", "",
                        "&quot;" + launcher + "&quot; &quot;%1&quot;");
  }
  return out + "            </Component>\n";
}

// The first product version above `version`, in the three numbers Windows
// Installer compares (it ignores a fourth).
std::string nextVersion(const std::string& version) {
  unsigned long parts[3] = {0, 0, 0};
  std::sscanf(version.c_str(), "%lu.%lu.%lu", &parts[0], &parts[1], &parts[2]);
  if (++parts[2] > 65535) parts[2] = 0, ++parts[1];
  if (parts[1] > 255) parts[1] = 0, ++parts[0];
  return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]);
}

// Every installed version up to this one, the same version included (a
// rebuilt package), is removed before the new files go in; a newer one stops
// the installation. Written as Upgrade rows rather than MajorUpgrade, whose
// same-version flag wixl drops; wixl also drops IncludeMaximum, so the range
// ends, exclusive, at nextVersion.
std::string upgradeRules(const InstallerSpec& spec) {
  const std::string next = nextVersion(spec.version);
  std::string out = "    <Upgrade Id=\"" + spec.upgradeCode + "\">\n";
  out += "      <UpgradeVersion Minimum=\"" + next +
         "\" IncludeMinimum=\"yes\" OnlyDetect=\"yes\" Property=\"NEWERVERSIONFOUND\"/>\n";
  out += "      <UpgradeVersion Minimum=\"0.0.0\" IncludeMinimum=\"yes\" Maximum=\"" + next +
         "\" IncludeMaximum=\"no\" Property=\"OLDERVERSIONFOUND\"/>\n";
  out += "    </Upgrade>\n";
  out += "    <Condition Message=\"A newer version of " + wixText(formatted(spec.displayName)) +
         " is already installed.\">NOT NEWERVERSIONFOUND</Condition>\n";
  out +=
      "    <InstallExecuteSequence>\n"
      "      <RemoveExistingProducts After=\"InstallValidate\"/>\n"
      "    </InstallExecuteSequence>\n";
  return out;
}

bool number(const std::string& text, unsigned long* value) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  *value = std::stoul(text);
  return true;
}

}  // namespace

bool installerVersion(const std::string& version, std::string* productVersion, std::string* err) {
  std::vector<unsigned long> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = version.find('.', start);
    unsigned long value = 0;
    if (!number(version.substr(start, dot - start), &value)) {
      *err = "'" + version + "' is not a version of one to four numbers";
      return false;
    }
    parts.push_back(value);
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  const unsigned long limits[] = {255, 255, 65535, 65535};
  if (parts.size() > 4) {
    *err = "'" + version + "' has more than four numbers";
    return false;
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i] > limits[i]) {
      *err = "'" + version +
             "' cannot be an installer's version: Windows Installer allows at most 255 for the "
             "first two numbers and 65535 for the third";
      return false;
    }
  }
  if (parts.size() == 4 && parts[3] == 0) parts.pop_back();
  while (parts.size() < 3) parts.push_back(0);
  std::string out;
  for (unsigned long part : parts) out += (out.empty() ? "" : ".") + std::to_string(part);
  *productVersion = out;
  return true;
}

std::string defaultUpgradeCode(const std::string& name) {
  return nameUuid(kUuidSpace, "upgrade:" + lower(name));
}

std::string shortcutFileName(const std::string& displayName) {
  std::string out = displayName;
  for (char& c : out) {
    if (std::string("\\/:*?\"<>|").find(c) != std::string::npos ||
        static_cast<unsigned char>(c) < 32) {
      c = '_';
    }
  }
  return out;
}

std::string wixSourceProblem(const InstallerSpec& spec) {
  std::vector<std::string> texts = {spec.displayName, spec.publisher, spec.name, spec.sourceRoot};
  texts.insert(texts.end(), spec.files.begin(), spec.files.end());
  for (const auto& source : spec.sources) texts.push_back(source.second);
  for (const FileAssociation& type : spec.fileTypes) texts.push_back(type.description);
  for (const std::string& text : texts) {
    if (text.find("$(") == std::string::npos) continue;
    return "'" + text +
           "' holds \"$(\", which wixl always reads as the start of a variable; change it";
  }
  return "";
}

std::string wixSource(const InstallerSpec& spec) {
  const Layout layout = layoutOf(spec);
  std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  out += "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
  out += "  <Product Id=\"*\" Name=\"" + wixText(spec.displayName) +
         "\" Language=\"1033\" Version=\"" + spec.version + "\" Manufacturer=\"" +
         wixText(spec.publisher) + "\" UpgradeCode=\"" + spec.upgradeCode + "\">\n";
  // Per-user: no elevation, and the package never asks for it.
  out +=
      "    <Package InstallerVersion=\"500\" Compressed=\"yes\" InstallScope=\"perUser\" "
      "InstallPrivileges=\"limited\" Description=\"" +
      wixText(spec.displayName) + "\"/>\n";
  out += upgradeRules(spec);
  out += "    <Media Id=\"1\" Cabinet=\"app.cab\" EmbedCab=\"yes\"/>\n";
  out += "    <Icon Id=\"AppIcon.exe\" SourceFile=\"" +
         wixText(spec.sources.count("bin/" + spec.name + ".exe")
                     ? spec.sources.at("bin/" + spec.name + ".exe")
                     : spec.sourceRoot + "/bin/" + spec.name + ".exe") +
         "\"/>\n";
  out += "    <Property Id=\"ARPPRODUCTICON\" Value=\"AppIcon.exe\"/>\n";
  out += "    <Property Id=\"ARPNOMODIFY\" Value=\"1\"/>\n";
  out += "    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n";
  out += "      <Directory Id=\"LocalAppDataFolder\">\n";
  out += "        <Directory Id=\"UserPrograms\" Name=\"Programs\">\n";
  out += "          <Directory Id=\"INSTALLDIR\" Name=\"" + wixText(spec.name) + "\">\n";
  out += installFolderComponent(spec);
  writeFolder(spec, layout, "", "            ", out);
  if (!spec.fileTypes.empty()) out += fileTypesComponent(spec);
  out += "          </Directory>\n        </Directory>\n      </Directory>\n";
  out += shortcutComponent(spec);
  out += "    </Directory>\n";
  out += "    <Feature Id=\"Application\" Level=\"1\">\n";
  for (const auto& file : layout.fileIds) {
    out += "      <ComponentRef Id=\"c" + file.second.substr(1) + "\"/>\n";
  }
  out += "      <ComponentRef Id=\"InstallFolder\"/>\n";
  if (!spec.fileTypes.empty()) out += "      <ComponentRef Id=\"FileTypes\"/>\n";
  out += "      <ComponentRef Id=\"StartMenu\"/>\n    </Feature>\n  </Product>\n</Wix>\n";
  return out;
}

}  // namespace plenwick

#include "tools/pack/linux/rpm_build.h"

#include <algorithm>
#include <filesystem>

#include "tools/pack/files/replace.h"
#include "tools/pack/host/external_tool.h"
#include "tools/pack/linux/deb_build.h"
#include "tools/pack/linux/mime_info.h"

namespace plenwick {
namespace {

namespace fs = std::filesystem;

// A library name as an rpm regular expression, anchored.
std::string literal(const std::string& name) {
  std::string out = "^";
  for (char c : name) {
    if (std::string(".+*?()[]{}|^$\\").find(c) != std::string::npos) out += "\\\\";
    out += c;
  }
  return out;
}

// Text as rpmbuild reads it in a .spec file: '%' would start a macro.
std::string text(const std::string& value) {
  std::string out;
  for (char c : value) out += c == '%' ? std::string("%%") : std::string(1, c);
  return out;
}

std::vector<std::string> librariesUnder(const std::string& tree) {
  std::vector<std::string> names;
  std::error_code code;
  for (fs::recursive_directory_iterator it(tree, code), end; !code && it != end;
       it.increment(code)) {
    const std::string name = it->path().filename().string();
    if (name.find(".so") != std::string::npos) names.push_back(name);
  }
  return names;
}

}  // namespace

std::string rpmSpec(const LinuxPackage& p, const std::vector<std::string>& ownLibraries) {
  std::string exclude;
  for (const std::string& name : ownLibraries) {
    exclude += (exclude.empty() ? "" : "|") + literal(name);
  }
  std::string out = "Name: " + p.name + "\nVersion: " + p.version + "\nRelease: " + p.revision +
                    "\nSummary: " + text(p.summary) + "\nLicense: " + text(p.license) +
                    "\nGroup: Applications/Productivity\nPackager: " + text(p.publisher) + " <" +
                    text(p.email) + ">\n";
  if (std::find(ownLibraries.begin(), ownLibraries.end(), kFontManager) != ownLibraries.end()) {
    out += "Requires: fontconfig\n";  // opened with dlopen, see computeDepends
  }
  out += "%global __provides_exclude_from ^/opt/.*$\n";
  if (!exclude.empty()) out += "%global __requires_exclude " + exclude + "\n";
  // The image goes in exactly as it was made: no stripping, no debug package, no build ids.
  out +=
      "%global debug_package %{nil}\n%global __os_install_post %{nil}\n"
      "%global _build_id_links none\n\n%description\n";
  out += text(p.details.empty() ? p.summary : p.details) + "\n\n%install\n";
  out += "cp -a \"$PLENWICK_ROOT\"/. \"%{buildroot}\"/\n\n%files\n/opt/" + p.name + "\n/usr/bin/" +
         p.name + "\n/usr/share/applications/" + p.name + ".desktop\n";
  if (p.hasIcon) out += "/usr/share/icons/hicolor/*/apps/" + p.name + ".png\n";
  if (!p.fileTypes.empty()) out += "/usr/share/mime/packages/" + p.name + ".xml\n";
  for (const FileAssociation& type : p.fileTypes) {
    if (p.hasIcon || !type.icon.empty()) {
      out += "/usr/share/icons/hicolor/*/mimetypes/" + mimeIconName(type.mimeType) + ".png\n";
    }
  }
  return out;
}

bool buildRpm(const LinuxPackage& p, const std::string& root, const std::string& work,
              Reporter& reporter, std::string* rpm, std::string* err) {
  // rpm reads '%' in a macro's value as another macro.
  if (work.find('%') != std::string::npos) {
    *err = "rpmbuild cannot work in " + work + ", whose path holds '%': choose another output";
    return false;
  }
  const std::string top = work + "/rpm";
  const std::string spec = top + "/app.spec";
  const std::string source = rpmSpec(p, librariesUnder(root + "/opt"));
  std::error_code code;
  fs::create_directories(top, code);
  if (code) {
    *err = "cannot create " + top + ": " + code.message();
    return false;
  }
  if (!writeFileAtomically(spec, {source.begin(), source.end()}, 0644, err)) return false;
  Reporter::Step step = reporter.step("installer: rpmbuild");
  ProcessResult run;
  if (!runHostTool("rpmbuild", "rpm",
                   {"-bb", "--define", "_topdir " + top, "--define", "_tmppath " + top,
                    "--buildroot", top + "/buildroot", spec},
                   work, &run, err, {"PLENWICK_ROOT=" + root})) {
    return false;
  }
  *rpm = top + "/RPMS/x86_64/" + rpmFileName(p);
  return step.end(true);
}

}  // namespace plenwick

#include "tools/pack/linux/linux_package.h"

#include <algorithm>

namespace plenwick {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool isUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

char lower(char c) {
  return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

bool hasControl(const std::string& text, bool newlinesAllowed) {
  return std::any_of(text.begin(), text.end(), [&](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && !(newlinesAllowed && c == '\n')) || u == 0x7F;
  });
}

// Debian's rule for package names, which rpm accepts too.
bool packageName(const std::string& command, std::string* name) {
  name->resize(command.size());
  std::transform(command.begin(), command.end(), name->begin(), lower);
  const bool allowed = std::all_of(name->begin(), name->end(), [](char c) {
    return isLower(c) || isDigit(c) || c == '+' || c == '-' || c == '.';
  });
  return allowed && name->size() >= 2 && (isLower((*name)[0]) || isDigit((*name)[0]));
}

// Numbers joined by dots: what both formats compare the same way.
bool dottedNumbers(const std::string& text) {
  bool digit = false;
  for (char c : text) {
    if (c == '.' && !digit) return false;
    if (c != '.' && !isDigit(c)) return false;
    digit = c != '.';
  }
  return digit;
}

bool categoryName(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return isLower(c) || isUpper(c) || isDigit(c) || c == '-' || c == '_';
  });
}

bool fail(const AppSettings& s, const std::string& key, const std::string& what, std::string* err) {
  *err = s.where(key) + ": " + what;
  return false;
}

bool checkTexts(const AppSettings& s, std::string* err) {
  const std::pair<const char*, const std::string*> lines[] = {
      {"displayName", &s.displayName}, {"publisher", &s.publisher}, {"license", &s.license}};
  for (const auto& [key, value] : lines) {
    if (hasControl(*value, false)) return fail(s, key, "holds a control character", err);
  }
  if (hasControl(s.description, true)) {
    return fail(s, "description", "holds a control character other than a line break", err);
  }
  if (s.email.empty()) {
    return fail(s, "email", "a Linux package names its maintainer with an e-mail address: give one",
                err);
  }
  if (hasControl(s.email, false) || s.email.find('@') == std::string::npos ||
      s.email.find_first_of("<> ,") != std::string::npos) {
    return fail(s, "email", "'" + s.email + "' is not an e-mail address", err);
  }
  for (const std::string& category : s.categories) {
    if (!categoryName(category)) {
      return fail(s, "categories",
                  "'" + category + "' is not a menu category (letters, digits, '-', e.g. Office)",
                  err);
    }
  }
  return true;
}

bool checkVersion(const AppSettings& s, const std::string& revision, std::string* err) {
  if (s.version.empty()) {
    return fail(s, "version", "a Linux package needs the application's version: give one", err);
  }
  if (!dottedNumbers(s.version)) {
    return fail(s, "version", "'" + s.version + "' is not numbers joined by dots, like 1.2", err);
  }
  if (!dottedNumbers(revision)) {
    return fail(s, "packageRevision",
                "'" + revision + "' is not a number (the package's revision, like 1 or 2)", err);
  }
  return true;
}

}  // namespace

bool describeLinuxPackage(const AppSettings& s, const std::string& command, LinuxPackage* p,
                          std::string* err) {
  if (!packageName(command, &p->name)) {
    *err = "the application's name '" + command +
           "' cannot name a Linux package: use letters, digits, '+', '-' and '.', starting "
           "with a letter or digit (key 'name')";
    return false;
  }
  p->revision = s.packageRevision.empty() ? "1" : s.packageRevision;
  if (!checkVersion(s, p->revision, err) || !checkTexts(s, err)) return false;
  p->command = command;
  p->displayName = s.displayName.empty() ? command : s.displayName;
  p->version = s.version;
  const std::size_t end = s.description.find('\n');
  p->summary = s.description.empty() ? p->displayName : s.description.substr(0, end);
  p->details = end == std::string::npos ? "" : s.description.substr(end + 1);
  p->publisher = s.publisher.empty() ? p->displayName : s.publisher;
  p->email = s.email;
  p->license = s.license.empty() ? "LicenseRef-proprietary" : s.license;
  p->fileTypes = s.fileAssociations;
  p->categories = s.categories.empty() ? std::vector<std::string>{"Utility"} : s.categories;
  return true;
}

std::string debFileName(const LinuxPackage& p) {
  return p.name + "_" + p.version + "-" + p.revision + "_amd64.deb";
}

std::string rpmFileName(const LinuxPackage& p) {
  return p.name + "-" + p.version + "-" + p.revision + ".x86_64.rpm";
}

std::string installRoot(const LinuxPackage& p) {
  return "/opt/" + p.name;
}

}  // namespace plenwick

#include "tools/pack/linux/mime_info.h"

#include <algorithm>

namespace plenwick {
namespace {

std::string xmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string mimeIconName(const std::string& mimeType) {
  std::string out = mimeType;
  std::replace(out.begin(), out.end(), '/', '-');
  return out;
}

std::string mimeInfo(const std::vector<FileAssociation>& types) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const FileAssociation& type : types) {
    out += "  <mime-type type=\"" + xmlText(type.mimeType) + "\">\n    <comment>" +
           xmlText(type.description) + "</comment>\n    <icon name=\"" +
           xmlText(mimeIconName(type.mimeType)) + "\"/>\n    <glob pattern=\"*." +
           xmlText(type.extension) + "\"/>\n  </mime-type>\n";
  }
  return out + "</mime-info>\n";
}

}  // namespace plenwick

#include "tools/pack/linux/mime_info.h"

#include <algorithm>

#include "tools/pack/text/xml_escape.h"

namespace plenwick {

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
    out += "  <mime-type type=\"" + escapeXml(type.mimeType) + "\">\n    <comment>" +
           escapeXml(type.description) + "</comment>\n    <icon name=\"" +
           escapeXml(mimeIconName(type.mimeType)) + "\"/>\n    <glob pattern=\"*." +
           escapeXml(type.extension) + "\"/>\n  </mime-type>\n";
  }
  return out + "</mime-info>\n";
}

}  // namespace plenwick

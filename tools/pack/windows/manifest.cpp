#include "tools/pack/windows/manifest.h"

#include <sstream>
#include <vector>

#include "tools/pack/text/xml_escape.h"

namespace plenwick {
namespace {

struct Span {
  std::size_t begin = std::string::npos;
  std::size_t end = std::string::npos;
  bool found() const { return begin != std::string::npos; }
};

// The application's assemblyIdentity start tag: the first one in the manifest.
Span identityTag(const std::string& xml) {
  Span tag;
  const std::size_t begin = xml.find("<assemblyIdentity");
  const std::size_t dependency = xml.find("<dependency");
  if (begin == std::string::npos || (dependency != std::string::npos && dependency < begin)) {
    return tag;
  }
  const std::size_t end = xml.find('>', begin);
  if (end == std::string::npos) return tag;
  tag.begin = begin;
  tag.end = end + 1;
  return tag;
}

bool isXmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The value of attribute `name` in a start tag: after white space, the name,
// '=' with optional white space around it, and a value in matching quotes that
// holds neither quote. The first place that has all that counts; a name
// followed by anything else is passed over.
Span attributeValue(const std::string& tag, const std::string& name) {
  for (std::size_t at = 0; at + 1 + name.size() <= tag.size(); ++at) {
    if (!isXmlSpace(tag[at]) || tag.compare(at + 1, name.size(), name) != 0) continue;
    std::size_t p = at + 1 + name.size();
    while (p < tag.size() && isXmlSpace(tag[p])) ++p;
    if (p >= tag.size() || tag[p] != '=') continue;
    ++p;
    while (p < tag.size() && isXmlSpace(tag[p])) ++p;
    if (p >= tag.size() || (tag[p] != '"' && tag[p] != '\'')) continue;
    const std::size_t close = tag.find_first_of("\"'", p + 1);
    if (close == std::string::npos || tag[close] != tag[p]) continue;
    return {p + 1, close};
  }
  return {};
}

// One pass, so that "&amp;lt;" becomes "&lt;" and not "<".
std::string unescapeXml(const std::string& text) {
  const std::pair<const char*, char> entities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    bool replaced = false;
    for (const auto& [entity, plain] : entities) {
      const std::size_t length = std::char_traits<char>::length(entity);
      if (text.compare(at, length, entity) == 0) {
        out += plain;
        at += length;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[at++];
  }
  return out;
}

std::string attribute(const std::string& tag, const std::string& name) {
  const Span value = attributeValue(tag, name);
  return value.found() ? unescapeXml(tag.substr(value.begin, value.end - value.begin)) : "";
}

std::string withAttribute(const std::string& tag, const std::string& name,
                          const std::string& value) {
  const Span old = attributeValue(tag, name);
  if (old.found()) return tag.substr(0, old.begin) + escapeXml(value) + tag.substr(old.end);
  const std::size_t close = tag.rfind(tag.size() >= 2 && tag[tag.size() - 2] == '/' ? "/>" : ">");
  return tag.substr(0, close) + " " + name + "=\"" + escapeXml(value) + "\"" + tag.substr(close);
}

Span descriptionText(const std::string& xml) {
  Span text;
  const std::size_t open = xml.find("<description>");
  if (open == std::string::npos) return text;
  const std::size_t close = xml.find("</description>", open);
  if (close == std::string::npos) return text;
  text.begin = open + 13;
  text.end = close;
  return text;
}

}  // namespace

std::string manifestVersion(const std::string& version) {
  std::vector<std::string> parts;
  std::stringstream in(version);
  std::string part;
  while (std::getline(in, part, '.')) parts.push_back(part);
  if (version.empty() || version.back() == '.' || parts.empty() || parts.size() > 4) return "";
  std::string out;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::string p = i < parts.size() ? parts[i] : "0";
    if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(p) > 65535) {
      return "";
    }
    out += (i ? "." : "") + std::to_string(std::stoul(p));
  }
  return out;
}

bool readManifestIdentity(const std::string& xml, ManifestIdentity& identity) {
  const Span tag = identityTag(xml);
  if (!tag.found()) return false;
  const std::string text = xml.substr(tag.begin, tag.end - tag.begin);
  identity.name = attribute(text, "name");
  identity.version = attribute(text, "version");
  const Span description = descriptionText(xml);
  identity.description =
      description.found()
          ? unescapeXml(xml.substr(description.begin, description.end - description.begin))
          : "";
  return true;
}

bool writeManifestIdentity(std::string& xml, const ManifestIdentity& identity, std::string* err) {
  const Span tag = identityTag(xml);
  if (!tag.found()) {
    *err = "the manifest has no assemblyIdentity of its own";
    return false;
  }
  std::string text = xml.substr(tag.begin, tag.end - tag.begin);
  text = withAttribute(withAttribute(text, "name", identity.name), "version", identity.version);
  xml.replace(tag.begin, tag.end - tag.begin, text);
  const Span description = descriptionText(xml);
  const std::string escaped = escapeXml(identity.description);
  if (description.found()) {
    xml.replace(description.begin, description.end - description.begin, escaped);
  } else {
    xml.insert(tag.begin + text.size(), "\n  <description>" + escaped + "</description>");
  }
  return true;
}

}  // namespace plenwick

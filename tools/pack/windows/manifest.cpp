#include "tools/pack/windows/manifest.h"

#include <regex>
#include <sstream>
#include <vector>

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

std::regex attributePattern(const std::string& name) {
  return std::regex("(\\s" + name + "\\s*=\\s*)([\"'])([^\"']*)\\2");
}

std::string unescapeXml(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (std::size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + 1)) {
      text.replace(at, std::char_traits<char>::length(entity), plain);
    }
  }
  return text;
}

std::string attribute(const std::string& tag, const std::string& name) {
  std::smatch match;
  return std::regex_search(tag, match, attributePattern(name)) ? unescapeXml(match[3].str()) : "";
}

std::string withAttribute(const std::string& tag, const std::string& name,
                          const std::string& value) {
  std::smatch match;
  if (std::regex_search(tag, match, attributePattern(name))) {
    const std::size_t at = static_cast<std::size_t>(match.position(3));
    return tag.substr(0, at) + escapeXml(value) + tag.substr(at + match.length(3));
  }
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

std::string escapeXml(const std::string& text) {
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
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
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

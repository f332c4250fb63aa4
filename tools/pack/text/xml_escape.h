// Text for XML attribute values and element content.
#pragma once

#include <string>

namespace plenwick {

// `text` with &, <, >, " and ' written as entities.
std::string escapeXml(const std::string& text);

}  // namespace plenwick

// Conversions between the UTF-8 the launcher works in and the JNI's modified UTF-8.
#pragma once

#include <string>

namespace plenwick {

// JNI string functions take modified UTF-8, in which a character outside the
// Basic Multilingual Plane is a pair of three-byte surrogates. Converts standard
// UTF-8 to it; bytes that are not valid UTF-8 become U+FFFD.
std::string toModifiedUtf8(const std::string& utf8);

// The inverse: surrogate pairs become four-byte sequences again.
std::string fromModifiedUtf8(const std::string& modified);

}  // namespace plenwick

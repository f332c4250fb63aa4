#include "jvm/java_strings.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(ModifiedUtf8, ConvertsStandardUtf8) {
  const struct {
    const char* name;
    std::string utf8;
    std::string modified;
  } cases[] = {
      {"ASCII", "Main a b", "Main a b"},
      {"empty", "", ""},
      {"two and three bytes unchanged", "é€ü", "é€ü"},
      {"emoji U+1F600 becomes a surrogate pair", "\xF0\x9F\x98\x80", "\xED\xA0\xBD\xED\xB8\x80"},
      {"highest code point U+10FFFF", "\xF4\x8F\xBF\xBF", "\xED\xAF\xBF\xED\xBF\xBF"},
      {"stray continuation byte", "a\x80z", "a\xEF\xBF\xBDz"},
      {"truncated sequence", "a\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong NUL", "\xC0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"encoded surrogate is not UTF-8", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(toModifiedUtf8(c.utf8), c.modified);
  }
}

TEST(ModifiedUtf8, RoundTripsAndDecodesJniOutput) {
  for (const std::string s : {"plain", "Grüße 😀 file.txt", "\xF4\x8F\xBF\xBF", ""}) {
    EXPECT_EQ(fromModifiedUtf8(toModifiedUtf8(s)), s);
  }
  EXPECT_EQ(fromModifiedUtf8("a\xC0\x80z"), std::string("a\0z", 3));
  EXPECT_EQ(fromModifiedUtf8("\xED\xA0\xBDx"), "\xEF\xBF\xBDx");  // unpaired high surrogate
}

}  // namespace
}  // namespace plenwick

#include "tools/pack/text/printable.h"

#include <gtest/gtest.h>

namespace plenwick {
namespace {

TEST(Printable, EscapesWhatATerminalWouldActOn) {
  const std::pair<std::string, std::string> cases[] = {
      {"lib/a b.jar C:\\x", "lib/a b.jar C:\\x"},
      {"\x1b]0;owned\x07.jar", "\\x1b]0;owned\\x07.jar"},
      {"a\nb\tc\x7f", "a\\x0ab\\x09c\\x7f"},
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},
      {"\xc2\x9b"
       "31m",
       "\\u009b31m"},
      {"gpj.\xe2\x80\xae"
       "exe",
       "gpj.\\u202eexe"},
      {"\xff\xc3(\xed\xa0\x80\xe2\x82", "\\xff\\xc3(\\xed\\xa0\\x80\\xe2\\x82"},
      {std::string("a\0b", 3), "a\\x00b"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(printable(text), shown);
}

}  // namespace
}  // namespace plenwick

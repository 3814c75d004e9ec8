#include "host/text/quote.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marquill::host {
namespace {

using namespace std::string_literals;

TEST(QuoteInputTest, ShortEscapedAndReadable) {
  struct Row {
    const char* name;
    std::string input;
    std::string quoted;
  };
  const std::vector<Row> rows = {
      {"plain", "Form=frmMain.frm", "Form=frmMain.frm"},
      {"breaks and tabs", "a\tb\r\nc", "a\\tb\\r\\nc"},
      {"terminal escape", "\x1b]0;title\x07", "\\x1B]0;title\\x07"},
      {"NUL and DEL", "a\0\x7f"s, "a\\x00\\x7F"},
      {"C1 control in UTF-8",
       "a\xc2\x9b"
       "b",
       "a\\xC2\\x9Bb"},
      {"UTF-8 kept", "\xe6\x97\xa5\xe6\x9c\xac.frm", "\xe6\x97\xa5\xe6\x9c\xac.frm"},
      {"not UTF-8", "caf\xe9", "caf\\xE9"},
      {"overlong form", "\xc0\xaf", "\\xC0\\xAF"},
      {"cut UTF-8 at the end", "a\xe6\x97", "a\\xE6\\x97"},
      {"backslashes stay", "..\\Forms\\a.frm", "..\\Forms\\a.frm"},
      {"long", std::string(200, 'x'), std::string(80, 'x') + "..."},
      {"exactly the limit", std::string(80, 'y'), std::string(80, 'y')},
      {"characters counted, not bytes", std::string(90, '\x01'),
       [] {
         std::string s;
         for (int i = 0; i < 80; ++i) s += "\\x01";
         return s + "...";
       }()},
  };
  for (const Row& row : rows) EXPECT_EQ(QuoteInput(row.input), row.quoted) << row.name;
  EXPECT_EQ(QuoteInput("abcdef", 3), "abc...");
}

TEST(QuoteInputTest, TellsUtf8FromOtherBytes) {
  EXPECT_TRUE(IsUtf8(""));
  EXPECT_TRUE(IsUtf8("ascii"));
  EXPECT_TRUE(IsUtf8("\xe4\xb8\xad\xf0\x9f\x98\x80"));
  EXPECT_FALSE(IsUtf8("\x93\xfa\x96\x7b"));
  EXPECT_FALSE(IsUtf8("\xed\xa0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8("\xf4\x90\x80\x80"));  // past U+10FFFF
}

}  // namespace
}  // namespace marquill::host

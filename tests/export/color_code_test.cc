// The colouring: exact results on tricky text, and the fast ColorCode checked byte for byte
// against the plain sequence of whole-text replacements it stands for.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "export/html_export.h"
#include "host/support/named_rows.h"
#include "support/files.h"

namespace marquill::exporter {
namespace {

using host::test::RowName;

const KeywordTables& Keywords() {
  static const KeywordTables tables = BuildKeywordTables();
  return tables;
}

void Replace(std::string& text, const std::string& find, const std::string& with) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = text.find(find); at != std::string::npos; at = text.find(find, from)) {
    out += text.substr(from, at - from) + with;
    from = at + find.size();
  }
  text = out + text.substr(from);
}

// The colouring as the plain sequence of replacements over the whole text. A comment's closing
// span is marked "\x01" so that only a comment followed by a whole-line comment is joined.
std::string ReferenceColorCode(std::string text, const KeywordTables& keywords) {
  const std::string br = "\r\n";
  auto span = [](const std::string& k) { return "<span class=\"keyword\">" + k + "</span>"; };
  for (const std::string& k : keywords.code) {
    Replace(text, br + k + " ", br + span(k) + " ");
    Replace(text, " " + k + " ", " " + span(k) + " ");
    Replace(text, " " + k + br, " " + span(k) + br);
  }
  for (const std::string& k : keywords.types) {
    Replace(text, "(" + k, "(" + span(k));
    Replace(text, k + ",", span(k) + ",");
    Replace(text, k + ")", span(k) + ")");
  }
  Replace(text, "</span> <span class=\"keyword\">", " ");
  std::string out;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find(br, from);
    std::string line = text.substr(from, end == std::string::npos ? end : end - from);
    std::size_t at = line.find('\'');
    bool done = false;
    while (at != std::string::npos && !done) {
      const std::string before = line.substr(0, at);
      if (std::count(before.begin(), before.end(), '"') % 2 == 0) {
        std::string rest = line.substr(at);
        Replace(rest, "<span class=\"keyword\">", "");
        Replace(rest, "</span>", "");
        out += before + "<span class=\"comment\">" + rest + "\x01" + br;
        done = true;
      } else {
        at = line.find('\'', at + 1);
      }
    }
    if (!done) out += line + br;
    if (end == std::string::npos) break;
    from = end + 2;
  }
  Replace(out, "\x01" + br + "<span class=\"comment\">", br);
  Replace(out, "\x01", "</span>");
  return out;
}

const std::string kK = "<span class=\"keyword\">";
const std::string kC = "<span class=\"comment\">";
const std::string kE = "</span>";

struct ColorRow {
  const char* name;
  std::string text;
  std::string expected;
};

class ColorCodeCases : public ::testing::TestWithParam<ColorRow> {};

TEST_P(ColorCodeCases, ColoursAsExpectedAndAsTheReference) {
  const ColorRow& row = GetParam();
  EXPECT_EQ(ColorCode(row.text, Keywords()), row.expected);
  EXPECT_EQ(ReferenceColorCode(row.text, Keywords()), row.expected);
}

const ColorRow kColorRows[] = {
    ColorRow{"KeywordsAtColumnOne", "\r\nIf a Then\r\n",
             "\r\n" + kK + "If" + kE + " a " + kK + "Then" + kE + "\r\n\r\n"},
    ColorRow{"IndentedFirstKeywordFoundThroughItsSpace", "    If a Then",
             "    " + kK + "If" + kE + " a Then\r\n"},
    ColorRow{"KeywordAtStartOfTextWithoutBreakIsLeft", "If a", "If a\r\n"},
    ColorRow{"KeywordAtEndOfTextWithoutBreakIsLeft", "x = a Or", "x = a Or\r\n"},
    ColorRow{"KeywordAtEndOfLine", "\r\nx = a Or\r\n", "\r\nx = a " + kK + "Or" + kE + "\r\n\r\n"},
    ColorRow{"NeighboursShareOneSpan", "\r\nDim x As New Y\r\n",
             "\r\n" + kK + "Dim" + kE + " x " + kK + "As New" + kE + " Y\r\n\r\n"},
    ColorRow{"TypeKeywordsByBrackets", "\r\nSub X(ByVal a As Long)\r\n",
             "\r\n" + kK + "Sub" + kE + " X(" + kK + "ByVal" + kE + " a " + kK + "As Long" + kE +
                 ")\r\n\r\n"},
    ColorRow{"CommentAfterCode", "\r\nx = 1 ' Do it\r\n",
             "\r\nx = 1 " + kC + "' Do it" + kE + "\r\n\r\n"},
    ColorRow{"ApostropheInsideStringBeforeComment", "\r\ns = \"it's\" ' c\r\n",
             "\r\ns = \"it's\" " + kC + "' c" + kE + "\r\n\r\n"},
    ColorRow{"KeywordInsideStringBetweenSpaces", "\r\ns = \"a Or b\"\r\n",
             "\r\ns = \"a " + kK + "Or" + kE + " b\"\r\n\r\n"},
    ColorRow{"TwoWholeLineCommentsShareASpan", "\r\n' one\r\n' two\r\n",
             "\r\n" + kC + "' one\r\n' two" + kE + "\r\n\r\n"},
    ColorRow{"CommentUnderKeywordLineKeepsItsSpan", "\r\nEnd If\r\n' note\r\n",
             "\r\n" + kK + "End If" + kE + "\r\n" + kC + "' note" + kE + "\r\n\r\n"},
    ColorRow{"SecondKeywordOfARepeatIsSkipped", "\r\nx = a Or Or Or b\r\n",
             "\r\nx = a " + kK + "Or" + kE + " Or " + kK + "Or" + kE + " b\r\n\r\n"},
    ColorRow{"OnGoSubLosesToGoSub", "\r\nOn GoSub x\r\n",
             "\r\nOn " + kK + "GoSub" + kE + " x\r\n\r\n"},
    ColorRow{"EscapedTextKeepsQuoteCounting", "\r\nIf a &lt; b Then s = \"'&amp;\" ' c\r\n",
             "\r\n" + kK + "If" + kE + " a &lt; b " + kK + "Then" + kE + " s = \"'&amp;\" " + kC +
                 "' c" + kE + "\r\n\r\n"}};

INSTANTIATE_TEST_SUITE_P(Tricky, ColorCodeCases, ::testing::ValuesIn(kColorRows), RowName());

// Modules of random keyword-rich lines: the fast colouring equals the reference on each.
std::string GeneratedModule(unsigned seed, int lines) {
  static const std::vector<std::string> words = {
      "If",          "Then",   "Else",    "End",      "Sub",      "Dim",      "As",       "New",
      "Long",        "(ByVal", "String)", "Integer,", "x",        "y",        "'",        "\"",
      "' c",         "Or",     "On",      "GoSub",    "Error",    "On Error", "Property", "Get",
      "Debug.Print", "CInt(",  "Not",     "&lt;",     "&amp;",    "(",        ")",        ",",
      "Do",          "Loop",   "Until",   "Option",   "Explicit", "Type",     "Set",      "To",
      "For",         "Next",   "Step"};
  std::mt19937 random(seed);
  std::string text;
  for (int i = 0; i < lines; ++i) {
    std::string line(random() % 3 == 0 ? 4 : 0, ' ');
    const int count = static_cast<int>(random() % 8);
    for (int w = 0; w < count; ++w) {
      line += words[random() % words.size()];
      if (random() % 4 != 0) line += ' ';
    }
    text += line + "\r\n";
  }
  return text;
}

TEST(ColorCodeEquivalence, GeneratedModulesMatchTheReference) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const std::string text = "\r\n" + GeneratedModule(seed, 60);
    ASSERT_EQ(ColorCode(text, Keywords()), ReferenceColorCode(text, Keywords())) << seed;
  }
}

TEST(ColorCodeEquivalence, SampleModulesMatchTheReference) {
  const std::filesystem::path samples = std::filesystem::path(MARQUILL_SOURCE_DIR) / "samples";
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(samples)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".bas" && ext != ".cls" && ext != ".frm" && ext != ".ctl") continue;
    const std::string text = "\r\n" + EscapeHtml(test::ReadBytes(entry.path()));
    EXPECT_EQ(ColorCode(text, Keywords()), ReferenceColorCode(text, Keywords())) << entry.path();
    ++compared;
  }
  EXPECT_GE(compared, 4);
}

TEST(EscapeHtml, EscapesOnlyTheThreeMarkupCharacters) {
  EXPECT_EQ(EscapeHtml("a < b && c > \"d\" 'e'"), "a &lt; b &amp;&amp; c &gt; \"d\" 'e'");
}

TEST(KeywordTables, HoldTheListsInTheirOrder) {
  EXPECT_EQ(Keywords().code.size(), 83u);
  EXPECT_EQ(Keywords().types.size(), 25u);
  EXPECT_EQ(Keywords().code.front(), "GoSub");
  EXPECT_EQ(Keywords().code[49], "Option Private Module");
  EXPECT_EQ(Keywords().code.back(), "Until");
  EXPECT_EQ(Keywords().types.front(), "CBool");
  EXPECT_EQ(Keywords().types.back(), "ByRef");
}

}  // namespace
}  // namespace marquill::exporter

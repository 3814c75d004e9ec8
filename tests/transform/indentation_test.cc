#include "transform/indentation.h"

#include <gtest/gtest.h>

#include "transform/line_test_util.h"

namespace marquill::transform {
namespace {

using testing::Lines;

// Indents the whole module at `width` and expects `expected`; indenting is stable.
void VerifyIndent(const Lines& expected, const Lines& input, int width = 4,
                  std::source_location where = std::source_location::current()) {
  testing::VerifyLines(
      input, [width](host::CodeModule& m) { IndentLines(m, 1, m.CountOfLines(), width); }, expected,
      testing::Outcome::kCompletes, testing::Stability::kStable, where);
}

struct Case {
  const char* name;
  friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
  Lines input;
  Lines expected;
  int width = 4;
};

class IndentLinesTest : public ::testing::TestWithParam<Case> {};

TEST_P(IndentLinesTest, Indents) {
  const Case& c = GetParam();
  VerifyIndent(c.expected, c.input, c.width);
}

const Case kCases[] = {
    {"ForAndNextFromAnyIndentation",
     {"  For Each c In x", "x = 1", "        Next"},
     {"For Each c In x", "    x = 1", "Next"}},
    {"DoWhileDoAndLoop",
     {"Do While a", "Do", "b", "Loop", "Loop"},
     {"Do While a", "    Do", "        b", "    Loop", "Loop"}},
    {"WithWhileAndWend",
     {"With f", "While a", ".x = 1", "Wend", "End With"},
     {"With f", "    While a", "        .x = 1", "    Wend", "End With"}},
    {"TypeAndEnumBlocks",
     {"Private Type T", "a As Long", "End Type", "Public Enum E", "k", "End Enum"},
     {"Private Type T", "    a As Long", "End Type", "Public Enum E", "    k", "End Enum"}},
    {"DoEventsAndWithEventsAreOrdinary",
     {"Do", "DoEvents", "Dim WithEvents w As X", "Loop"},
     {"Do", "    DoEvents", "    Dim WithEvents w As X", "Loop"}},
    {"TypeAnywhereOpensABlock",
     {"If c.Type = 1 Then x = 2", "y = 1"},
     {"If c.Type = 1 Then x = 2", "    y = 1"}},
    {"SelectAndCaseAreOrdinaryEndSelectCloses",
     {"Sub A()", "Select Case x", "Case 1", "y = 1", "End Select", "End Sub"},
     {"Sub A()", "Select Case x", "Case 1", "y = 1", "End Select", "End Sub"}},
    {"LevelNeverGoesBelowZero",
     {"End Sub", "End Sub", "For i = 1 To 2", "x", "Next"},
     {"End Sub", "End Sub", "For i = 1 To 2", "    x", "Next"}},
    {"ElseAndElseIfOneLevelOut",
     {"If a Then", "x", "ElseIf b Then", "y", "Else:", "z", "Else", "w", "End If"},
     {"If a Then", "    x", "ElseIf b Then", "    y", "Else:", "    z", "Else", "    w", "End If"}},
    {"ElseAtLevelZeroStillOpens", {"Else", "x"}, {"Else", "    x"}},
    {"CompilerDirectivesAreOrdinary",
     {"#If a Then", "x", "#Else", "y", "#End If"},
     {"#If a Then", "x", "#Else", "y", "#End If"}},
    {"ThenAtTheEndOpens", {"If a Then", "x", "End If"}, {"If a Then", "    x", "End If"}},
    {"ThenFollowedBySpacesOpens", {"If a Then  ", "x"}, {"If a Then  ", "    x"}},
    {"ThenFollowedByAStatementDoesNot", {"If a Then b = 1", "x"}, {"If a Then b = 1", "x"}},
    {"OneCharacterStatementOpens", {"If a Then x", "y"}, {"If a Then x", "    y"}},
    {"ThenFollowedByACommentDoesNot", {"If a Then ' note", "x"}, {"If a Then ' note", "x"}},
    {"IfWithoutThenOpens", {"If x", "y"}, {"If x", "    y"}},
    {"CloserAndElseWordsStartIdentifiers",
     {"For i = 1 To 2", "NextItem = 1", "Elsewhere = 0"},
     {"For i = 1 To 2", "NextItem = 1", "Elsewhere = 0"}},
    {"LeadingTabStaysAfterTheIndentation",
     {"For i = 1 To 2", "  \tx = 1", "Next"},
     {"For i = 1 To 2", "    \tx = 1", "Next"}},
    {"TrailingSpacesStay",
     {"With f  ", "  .a = 1  ", "End With  "},
     {"With f  ", "    .a = 1  ", "End With  "}},
    {"WidthTwo",
     {"For i = 1 To 2", "Do", "x", "Loop", "Next"},
     {"For i = 1 To 2", "  Do", "    x", "  Loop", "Next"},
     2},
    {"WidthZeroWritesFlushLeft",
     {"For i = 1 To 2", "    x", "  Next"},
     {"For i = 1 To 2", "x", "Next"},
     0},
};

INSTANTIATE_TEST_SUITE_P(Rows, IndentLinesTest, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(IndentLinesRangeTest, LevelStartsAtZeroAtTheFirstLineOfTheRange) {
  testing::VerifyLines({"For i = 1 To 2", "    Do", "  x = 1", "  Loop", "    Next"},
                       [](host::CodeModule& m) { IndentLines(m, 3, 4, 4); },
                       {"For i = 1 To 2", "    Do", "x = 1", "Loop", "    Next"});
  testing::VerifyLines({"Sub A()", "With f", "  .x = 1", "  End With", "End Sub"},
                       [](host::CodeModule& m) { IndentLines(m, 2, 3, 4); },
                       {"Sub A()", "With f", "    .x = 1", "  End With", "End Sub"});
}

// A width far beyond any code line fails where a line would need more than 1023 spaces, rather
// than making every line of the module that long.
TEST(IndentLinesRangeTest, IndentationPastTheLongestLineFails) {
  const Lines input = {"For i = 1 To 2", "Do", "x", "Loop", "Next"};
  VerifyIndent({"For i = 1 To 2", std::string(511, ' ') + "Do", std::string(1022, ' ') + "x",
                std::string(511, ' ') + "Loop", "Next"},
               input, 511);
  testing::VerifyLines(
      input, [](host::CodeModule& m) { IndentLines(m, 1, m.CountOfLines(), 512); },
      {"For i = 1 To 2", std::string(512, ' ') + "Do", "x", "Loop", "Next"},
      testing::Outcome::kFails, testing::Stability::kUnstable);
  testing::VerifyLines(
      {"With f", ".x = 1"}, [](host::CodeModule& m) { IndentLines(m, 1, 2, 2000000000); },
      {"With f", ".x = 1"}, testing::Outcome::kFails, testing::Stability::kUnstable);
}

TEST(IndentLinesRangeTest, WalkPastTheLastLineFailsKeepingWhatItWrote) {
  testing::VerifyLines(
      {"With f", ".x = 1"}, [](host::CodeModule& m) { IndentLines(m, 1, 3, 4); },
      {"With f", "    .x = 1"}, testing::Outcome::kFails);
}

}  // namespace
}  // namespace marquill::transform

#include "transform/indentation.h"

#include <gtest/gtest.h>

#include "host/support/named_rows.h"
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
    {"IfWithoutThenOpens", {"If x", "y"}, {"If x", "    y"}},
    // A comment after Then is no statement: the block is open until End If.
    {"ThenFollowedByACommentOpens",
     {"If a Then ' note", "x", "End If", "y"},
     {"If a Then ' note", "    x", "End If", "y"}},
    {"ThenFollowedByBlanksAndACommentOpens",
     {"If a Then \t'note: x = 1", "x", "End If"},
     {"If a Then \t'note: x = 1", "    x", "End If"}},
    {"CommentAfterAOneLineIfKeepsIt",
     {"If a Then b = 1 ' note", "x"},
     {"If a Then b = 1 ' note", "x"}},
    {"OneCharacterStatementDoesNotOpen", {"If a Then x", "y"}, {"If a Then x", "y"}},
    {"ThenInsideAnIdentifierIsNoKeyword",
     {"If IsThenable(x) Then", "y", "End If"},
     {"If IsThenable(x) Then", "    y", "End If"}},
    {"ThenInsideALiteralIsNoKeyword",
     {"If s = \"Then x\" Then", "y", "End If"},
     {"If s = \"Then x\" Then", "    y", "End If"}},
    {"ThenInsideACommentIsNoKeyword", {"If a ' Then", "y"}, {"If a ' Then", "    y"}},
    {"ThenAsAMemberIsNoKeyword", {"If x.Then Then", "y"}, {"If x.Then Then", "    y"}},
    {"IfWithAParenthesisIsAnIf", {"If(a) Then", "y", "End If"}, {"If(a) Then", "    y", "End If"}},
    {"IfPrefixOfAnIdentifierIsOrdinary", {"IfCount = 1", "y"}, {"IfCount = 1", "y"}},
    // Keywords are whole words: these only begin like one.
    {"CloserAndElseWordsStartingIdentifiersAreOrdinary",
     {"For i = 1 To 2", "NextItem = 1", "Elsewhere = 0", "LoopCount = 0", "Ending = 1",
      "Wending = 2", "Next"},
     {"For i = 1 To 2", "    NextItem = 1", "    Elsewhere = 0", "    LoopCount = 0",
      "    Ending = 1", "    Wending = 2", "Next"}},
    {"WholeWordClosersKeepTheirRules",
     {"For i = 1 To 2", "Do", "x", "Loop While x", "Next i", "Do", "Loop: y", "Next"},
     {"For i = 1 To 2", "    Do", "        x", "    Loop While x", "Next i", "Do", "Loop: y",
      "Next"}},
    {"EndStatementClosesNothing",
     {"Sub A()", "If a Then", "End", "End ' quit", "End If", "End Sub"},
     {"Sub A()", "If a Then", "    End", "    End ' quit", "End If", "End Sub"}},
    {"EveryBlockEndCloses",
     {"With f", "Select Case x", "Case 1", "End Select", "End With"},
     {"With f", "    Select Case x", "    Case 1", "End Select", "End With"}},
    {"OpenerWordsStartingIdentifiersAreOrdinary",
     {"Format = 1", "Within = 2", "Doing = 3", "Whiles = 4", "x"},
     {"Format = 1", "Within = 2", "Doing = 3", "Whiles = 4", "x"}},
    // Type and Enum open a block only where they declare one.
    {"TypeInAnIfIsNoDeclaration",
     {"If c.Type = 1 Then x = 2", "y = 1"},
     {"If c.Type = 1 Then x = 2", "y = 1"}},
    {"TypeAndEnumAnywhereElseAreOrdinary",
     {"x.Type = 3", "Dim e As Enum1", "s = \"Type \"", "Call SetType (1)", "y"},
     {"x.Type = 3", "Dim e As Enum1", "s = \"Type \"", "Call SetType (1)", "y"}},
    {"TypeAndEnumDeclarationsOpen",
     {"Type T", "a As Long", "End Type", "Enum E", "k", "End Enum", "Private Enum F", "m",
      "End Enum"},
     {"Type T", "    a As Long", "End Type", "Enum E", "    k", "End Enum", "Private Enum F",
      "    m", "End Enum"}},
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

INSTANTIATE_TEST_SUITE_P(Rows, IndentLinesTest, ::testing::ValuesIn(kCases), host::test::RowName());

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

// A statement left continued (one line could not hold it) is read as one: its lines share the
// statement's level, and Then may stand on any of them.
const Case kContinuedCases[] = {
    {"ContinuedIfOpensByItsLastLine",
     {"If a And _", "b Then", "x", "End If"},
     {"If a And _", "b Then", "    x", "End If"}},
    {"ContinuedOneLineIfDoesNotOpen",
     {"If a _", "  Then x = 1", "y"},
     {"If a _", "Then x = 1", "y"}},
    {"ContinuedLinesShareTheLevel",
     {"For i = 1 To 2", "x = 1 + _", "      2", "Next"},
     {"For i = 1 To 2", "    x = 1 + _", "    2", "Next"}},
    {"ContinuedCloserWritesAllItsLinesOut",
     {"With f", ".a = 1", "End _", "With", "x"},
     {"With f", "    .a = 1", "End _", "With", "x"}},
};

INSTANTIATE_TEST_SUITE_P(Continued, IndentLinesTest, ::testing::ValuesIn(kContinuedCases),
                         host::test::RowName());

// A line the indentation would push past the longest code line takes what still fits.
TEST(IndentLinesRangeTest, LongLinesTakeTheIndentationThatFits) {
  const std::string fits(1019, 'x');
  const std::string nearly(1021, 'y');
  const std::string over(1030, 'z');
  VerifyIndent({"For i = 1 To 2", "    " + fits, "  " + nearly, over, "Next"},
               {"For i = 1 To 2", fits, nearly, "      " + over, "Next"});
}

TEST(IndentLinesRangeTest, StopNamesTheLine) {
  host::MemoryProject project("Project1");
  host::MemoryCodeModule& module =
      testing::MakeModule(project, {"For i = 1 To 2", "Do", "x", "Loop", "Next"}, host::Eol::kCrLf);
  try {
    IndentLines(module, 1, 5, 600);
    FAIL() << "indented past the longest code line";
  } catch (const IndentStop& stop) {
    EXPECT_EQ(stop.line(), 3);
    EXPECT_NE(std::string(stop.what()).find("1200"), std::string::npos) << stop.what();
  }
  EXPECT_EQ(module.Line(2), std::string(600, ' ') + "Do");
  EXPECT_EQ(module.Line(3), "x");
}

struct RuleCase {
  const char* name;
  friend void PrintTo(const RuleCase& row, std::ostream* os) { *os << row.name; }
  const char* line;
  BlockRule rule;
};

class ClassifyLineTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ClassifyLineTest, FindsTheRule) {
  EXPECT_EQ(ClassifyLine(GetParam().line), GetParam().rule) << GetParam().line;
}

const RuleCase kRuleCases[] = {
    {"WhileLoop", "While a", BlockRule::kOpener},
    {"BareDo", "Do", BlockRule::kOpener},
    {"DoWithAComment", "Do ' forever", BlockRule::kOpener},
    {"DoColonIsNoBlock", "Do: DoEvents: Loop", BlockRule::kOther},
    {"PublicType", "Public Type Point", BlockRule::kOpener},
    {"TypeWithoutName", "Type ", BlockRule::kOther},
    {"PrivateAlone", "Private x As Long", BlockRule::kOther},
    {"EnumMember", "x = Enum1.Value", BlockRule::kOther},
    {"If", "If a Then", BlockRule::kIf},
    {"HashIf", "#If Win32 Then", BlockRule::kOther},
    {"Wend", "Wend", BlockRule::kCloser},
    {"NextColon", "Next: x = 1", BlockRule::kCloser},
    {"EndProperty", "End Property", BlockRule::kCloser},
    {"EndFunctionWithBlanks", "End  Function", BlockRule::kCloser},
    {"EndAlone", "End", BlockRule::kOther},
    {"EndCall", "End Call", BlockRule::kOther},
    {"ElseColon", "Else:", BlockRule::kElse},
    {"ElseIf", "ElseIf a Then", BlockRule::kElse},
    {"HashElse", "#Else", BlockRule::kOther},
};

INSTANTIATE_TEST_SUITE_P(Rows, ClassifyLineTest, ::testing::ValuesIn(kRuleCases),
                         host::test::RowName());

}  // namespace
}  // namespace marquill::transform

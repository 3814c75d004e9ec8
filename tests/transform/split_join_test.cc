#include "transform/split_join.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "host/memory/memory_host.h"
#include "host/support/named_rows.h"
#include "host/text/vb_text.h"
#include "transform/line_cleanup.h"
#include "transform/line_test_util.h"

namespace marquill::transform {
namespace {

using testing::Command;
using testing::Lines;
using testing::Outcome;
using testing::Stability;
using testing::VerifyLines;

Command Split(int width) {
  return [width](host::CodeModule& m) { SplitLines(m, 1, m.CountOfLines(), width); };
}
Command Join() {
  return [](host::CodeModule& m) { JoinLines(m, 1, m.CountOfLines()); };
}
Command JoinIn(int first, int last) {
  return [=](host::CodeModule& m) { JoinLines(m, first, last); };
}

struct SplitCase {
  const char* name;
  friend void PrintTo(const SplitCase& row, std::ostream* os) { *os << row.name; }
  Lines input;
  int width;
  Lines expected;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, Splits) {
  const SplitCase& c = GetParam();
  VerifyLines(c.input, Split(c.width), c.expected);
}

const std::string kHundredLetters(100, 'x');
const std::string kTwelve(12, ' ');

const SplitCase kSplitCases[] = {
    {"BreakInLiteralClosesAndReopensIt",
     {"x = \"aaaa bbbb cccc dddd eeee\""},
     20,
     {"x = \"aaaa bbbb cccc \" & _", "\"dddd eeee\""}},
    {"LineAtWidthIsLeft", {"x = \"aaaa bbbb cccc\""}, 20, {"x = \"aaaa bbbb cccc\""}},
    {"LineWithoutBreakCharacterStays", {kHundredLetters}, 80, {kHundredLetters}},
    {"BreakAtParenthesisKeepsItOnTheHead", {"Call Foo(a, b)"}, 10, {"Call Foo( _", "a, b)"}},
    {"RemainderUpToWidthPlusFiveStaysWhole",
     {"x = abcdefghijk lm"},
     10,
     {"x =  _", "abcdefghijk lm"}},
    {"LongerRemainderBreaksAtFirstSpacePastWidth",
     {"x = abcdefghijk lmnop"},
     10,
     {"x =  _", "abcdefghijk  _", "lmnop"}},
    {"ForwardSearchTakesAnEarlierParenthesis",
     {"abcdefghijkl(mn, opq)"},
     10,
     {"abcdefghijkl( _", "mn, opq)"}},
    {"ParenthesesAndPointsWithoutSpaceKeepRemainder",
     {"x = abcdefghijk.lmnopqrstu(1)"},
     10,
     {"x =  _", "abcdefghijk.lmnopqrstu(1)"}},
    {"EveryPieceKeepsTheIndentation",
     {kTwelve + "Call Foo(alpha, beta, gamma, delta)"},
     24,
     {kTwelve + "Call Foo(alpha, beta,  _", kTwelve + "gamma, delta)"}},
    {"TwelveSpaceLineInThreePieces",
     {kTwelve + "Total = First + Second + Third + Fourth"},
     16,
     {kTwelve + "Total = First +  _", kTwelve + "Second + Third  _", kTwelve + "+ Fourth"}},
    {"BreakInCommentStartsACommentLine",
     {"x = 1 ' a comment that goes on"},
     16,
     {"x = 1 ' a ", "'comment that ", "'goes on"}},
    {"ApostropheInLiteralDoesNotMakeAComment",
     {"MsgBox \"it's\" & xxxxx & yyyyy"},
     16,
     {"MsgBox \"it's\" &  _", "xxxxx & yyyyy"}},
    {"DecimalPointIsNoBreak",
     {"Total = Total * 1.0625 + Fee"},
     18,
     {"Total = Total *  _", "1.0625 + Fee"}},
    {"NumberEndingInPointIsNoBreak", {"x=12345.+1 abcdefgh"}, 8, {"x=12345.+1  _", "abcdefgh"}},
    {"MemberAccessPointIsABreak", {"Set x = obj1.Item(1)"}, 13, {"Set x = obj1. _", "Item(1)"}},
    {"PointInLiteralIsABreak",
     {"s = \"v1.5 of the tool\""},
     8,
     {"s = \"v1.\" & _", "\"5 of \" & _", "\"the \" & _", "\"tool\""}},
    {"SpacesOnlyLineLongerThanWidthEmpties", {"          "}, 4, {""}},
    // A line's own continuation is no break: the underscore alone below would end the statement.
    {"LineFittingBeforeItsMarkStays",
     {"x = aaaaaaaaaaaaaaa _", "  + 1"},
     20,
     {"x = aaaaaaaaaaaaaaa _", "  + 1"}},
    {"MarkSpaceIsNoForwardBreak",
     {"x=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa _", "+ 1"},
     10,
     {"x=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa _", "+ 1"}},
    {"BlanksBeforeTheMarkAreNoBreak",
     {"x = aaaaaaaaaaaaaa     _", "  + 1"},
     14,
     {"x =  _", "aaaaaaaaaaaaaa     _", "  + 1"}},
    {"ContinuedCommentKeepsItsMark",
     {"' one two three four _", "five"},
     16,
     {"' one two three ", "'four _", "five"}},
    // A literal piece this command wrote fits once its closing " & _ is left aside.
    {"LiteralPiecesStay",
     {"x = \"aaaa bbbb cccc \" & _", "\"dddd eeee\""},
     20,
     {"x = \"aaaa bbbb cccc \" & _", "\"dddd eeee\""}},
    // No piece of only an operator and a mark: the "& _" line.
    {"ContinuedLineIsNotCutBeforeItsOperator",
     {"Total = First + Second & _", "Third"},
     20,
     {"Total = First +  _", "Second & _", "Third"}},
    {"OperatorAloneIsNoHead",
     {"x = a _", "&                   bbbbbbbbbb"},
     10,
     {"x = a _", "&                   bbbbbbbbbb"}},
    // A break just before a literal's closing quote would leave "" on the next line.
    {"NoEmptiedLiteral", {"s = \"aaaaaaaaaaaaaaaa \""}, 18, {"s =  _", "\"aaaaaaaaaaaaaaaa \""}},
    {"EmptyLiteralIsNoPiece",
     {"x = a & \"\" & bbbbbbbbbbbbbbb"},
     12,
     {"x = a & \"\"  _", "& bbbbbbbbbbbbbbb"}},
    // Blanks after a break stay on the head, or a second run would take them for indentation.
    {"BlanksAfterABreakStayOnTheHead",
     {"x = aaaaaa     *    obj.Item(1)"},
     10,
     {"x =  _", "aaaaaa      _", "*    obj. _", "Item(1)"}},
    {"CommentPieceOfBlanksIsNone", {"' ab        cdefghijkl"}, 6, {"' ab  ", "'      cdefghijkl"}},
};

INSTANTIATE_TEST_SUITE_P(Rows, SplitLinesTest, ::testing::ValuesIn(kSplitCases),
                         host::test::RowName());

// Split, joined and compacted, a statement whose literal was split reads as it did.
TEST(SplitLinesTest, JoinAndCompactUndoASplitLiteral) {
  const std::string line = "x = \"aaaa bbbb cccc dddd eeee\"";
  VerifyLines(
      {line},
      [](host::CodeModule& m) {
        SplitLines(m, 1, 1, 20);
        ASSERT_EQ(m.CountOfLines(), 2);
        JoinLines(m, 1, 1);
        CompactStrings(m, 1, 1);
      },
      {line}, Outcome::kCompletes, Stability::kUnstable);
}

// The search past the width stops at the next space, so a line of many short pieces is split in
// one pass. Comment pieces take no continuation, so nothing caps their number.
// Its time is measured in bench/line_commands_bench (SplitLongComment).
TEST(SplitLinesTest, LongCommentSplitsAtEveryWord) {
  constexpr int kWords = 2000;
  std::string comment = "'";
  for (int i = 0; i < kWords; ++i) comment += " aaaaaaaaa";
  const std::string pieces = SplitLine(comment, 5, kMaxContinuations);
  // "' aaaaaaaaa ", then one per word
  EXPECT_EQ(host::CountOf(pieces, host::kLineBreak), kWords - 1);
}

TEST(SplitLinesTest, WidthZeroChangesNothing) {
  VerifyLines({"x = 1 + 2", "", "y = 3"}, Split(0), {"x = 1 + 2", "", "y = 3"});
}

TEST(SplitLinesTest, OnlyLinesOfTheRangeAreSplit) {
  VerifyLines(
      {"a = 1 + 2", "b = 1 + 2", "c = 1 + 2"}, [](host::CodeModule& m) { SplitLines(m, 2, 2, 6); },
      {"a = 1 + 2", "b = 1  _", "+ 2", "c = 1 + 2"}, Outcome::kCompletes, Stability::kUnstable);
}

// Runs of spaces as one: joining split pieces restores the words, not the spacing.
std::string Squeezed(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  }
  return out;
}

// A statement takes at most 24 continuations; what is left stays whole on the last line.
TEST(SplitLinesTest, StatementNeverGetsMoreThanTheAllowedContinuations) {
  std::string call = "Call F(";
  for (int i = 1; i <= 40; ++i) call += "a" + std::to_string(i) + (i < 40 ? ", " : ")");
  host::MemoryProject project("Project1");
  host::MemoryCodeModule& module = testing::MakeModule(project, {call}, host::Eol::kCrLf);
  SplitLines(module, 1, 1, 6);

  const Lines lines = testing::TextsOf(module);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kMaxContinuations + 1));
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    EXPECT_TRUE(host::EndsWithContinuation(lines[i])) << lines[i];
    EXPECT_LE(lines[i].size(), 6u + 2u) << lines[i];
  }
  EXPECT_FALSE(host::EndsWithContinuation(lines.back()));
  EXPECT_TRUE(lines.back().ends_with("a39, a40)")) << lines.back();
  JoinLines(module, 1, 1);
  ASSERT_EQ(module.CountOfLines(), 1);
  EXPECT_EQ(Squeezed(module.Line(1)), call);
}

TEST(SplitLinesTest, ContinuationsAlreadyInTheStatementCount) {
  Lines input(kMaxContinuations - 1, "a + _");
  input.push_back("b + c + d + e");  // its statement has 23 continuations: one more is allowed
  input.push_back("f = 1 + 2 + 3");  // a statement of its own
  Lines expected(kMaxContinuations - 1, "a + _");
  expected.insert(expected.end(), {"b + c  _", "+ d + e", "f = 1  _", "+ 2 +  _", "3"});
  VerifyLines(input, Split(6), expected, Outcome::kCompletes, Stability::kUnstable);
}

TEST(SplitLinesTest, ContinuationsBelowTheLineCount) {
  // The line itself and the 22 below go on: 23 continuations, one more is allowed.
  Lines input = {"b + c + d + e _"};
  input.insert(input.end(), kMaxContinuations - 2, "a + _");
  input.push_back("z");
  Lines expected = {"b + c  _", "+ d + e _"};
  expected.insert(expected.end(), kMaxContinuations - 2, "a + _");
  expected.push_back("z");
  VerifyLines(input, Split(6), expected, Outcome::kCompletes, Stability::kUnstable);
}

TEST(SplitLinesTest, BreaksInCommentsNeedNoContinuation) {
  Lines input(kMaxContinuations, "a + _");
  input.push_back("b ' one two three");
  Lines expected(kMaxContinuations, "a + _");
  expected.insert(expected.end(), {"b ' one ", "'two ", "'three"});
  VerifyLines(input, Split(8), expected, Outcome::kCompletes, Stability::kUnstable);
}

struct JoinCase {
  const char* name;
  friend void PrintTo(const JoinCase& row, std::ostream* os) { *os << row.name; }
  Lines input;
  Command command;
  Lines expected;
  Outcome outcome = Outcome::kCompletes;
};

class JoinLinesTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinLinesTest, Joins) {
  const JoinCase& c = GetParam();
  VerifyLines(c.input, c.command, c.expected, c.outcome);
}

// A join over the whole module shortens it, but the walk goes on to the last line fixed when it
// began: the read past the module's end ends the procedure.
constexpr Outcome kPastTheEnd = Outcome::kFails;

const JoinCase kJoinCases[] = {
    {"PiecesJoinWithOneSpaceUnderTheFirstIndent",
     {"    MsgBox \"a\" & _", "        \"b\""},
     Join(),
     {"    MsgBox \"a\" & \"b\""},
     kPastTheEnd},
    {"LeadingPointSticksToWhatPrecedes",
     {"Set x = obj _", "    .Item(1)"},
     Join(),
     {"Set x = obj.Item(1)"},
     kPastTheEnd},
    {"FirstLineStartingWithPoint",
     {"    .Caption = \"a\" & _", "        \"b\"", "End With"},
     Join(),
     {"    .Caption = \"a\" & \"b\"", "End With"},
     kPastTheEnd},
    {"SpaceBeforeTheMarkStays", {"x = a  _", "b"}, Join(), {"x = a  b"}, kPastTheEnd},
    {"ManyPiecesBecomeOneLine",
     {"a = 1 + _", "  2 + _", "  3", "b = 4"},
     Join(),
     {"a = 1 + 2 + 3", "b = 4"},
     kPastTheEnd},
    {"MarkFollowedBySpaceIsNoContinuation", {"x = a _ ", "b"}, Join(), {"x = a _ ", "b"}},
    {"WalkGoesOnPastAShortenedEnd",
     {"a = 1 + _", "2 + _", "3", "b = 4 + _", "5", "c = 6"},
     JoinIn(1, 3),
     {"a = 1 + 2 + 3", "b = 4 + 5", "c = 6"}},
    {"WalkPastTheLastLineFails", {"a _", "b", "c"}, JoinIn(1, 3), {"a b", "c"}, Outcome::kFails},
    {"ContinuedLastLineStaysAndFails",
     {"a = 1", "b = 2 + _"},
     Join(),
     {"a = 1", "b = 2 + _"},
     Outcome::kFails},
};

INSTANTIATE_TEST_SUITE_P(Rows, JoinLinesTest, ::testing::ValuesIn(kJoinCases),
                         host::test::RowName());

// A statement whose one line would pass the longest code line stays continued as it was.
const std::string k1017(1017, 'a');
const std::string k1018(1018, 'a');

const JoinCase kLongJoinCases[] = {
    {"JoinedToTheLongestLine",
     {"x = " + k1017 + " _", "b"},
     Join(),
     {"x = " + k1017 + " b"},
     kPastTheEnd},
    {"OneCharacterMoreStaysContinued",
     {"x = " + k1018 + " _", "  b", "c = 1"},
     Join(),
     {"x = " + k1018 + " _", "  b", "c = 1"}},
    {"IndentationCounts",
     {" x = " + k1017 + " _", "b", "c = 1"},
     Join(),
     {" x = " + k1017 + " _", "b", "c = 1"}},
    {"WalkGoesOnAfterAStatementLeftContinued",
     {"a = 1 + _", "2", "x = " + k1018 + " _", "b", "c = 3 + _", "4", "d = 5"},
     Join(),
     {"a = 1 + 2", "x = " + k1018 + " _", "b", "c = 3 + 4", "d = 5"},
     kPastTheEnd},
};

INSTANTIATE_TEST_SUITE_P(Long, JoinLinesTest, ::testing::ValuesIn(kLongJoinCases),
                         host::test::RowName());

TEST(JoinLinesReportTest, CountsTheStatementsLeftContinued) {
  const std::string long_piece = "x = " + std::string(600, 'a') + " + _";
  host::MemoryProject project("Project1");
  host::MemoryCodeModule& module = testing::MakeModule(
      project, {long_piece, long_piece, "1", "y = 1 + _", "2", long_piece, long_piece, "3", "z"},
      host::Eol::kCrLf);
  JoinReport report;
  JoinLines(module, 1, 2, &report);  // the range holds the first long statement only
  EXPECT_EQ(report.left_continued, 1);
  EXPECT_EQ(module.CountOfLines(), 9);
  JoinLines(module, 1, 8, &report);  // 8: the module is one line shorter by then
  EXPECT_EQ(report.left_continued, 3);
  EXPECT_EQ(module.Line(4), "y = 1 + 2");
  EXPECT_EQ(module.CountOfLines(), 8);
}

}  // namespace
}  // namespace marquill::transform

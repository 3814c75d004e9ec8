#include "transform/line_cleanup.h"

#include <gtest/gtest.h>

#include "host/support/named_rows.h"
#include "transform/line_test_util.h"

namespace marquill::transform {
namespace {

using testing::Command;
using testing::Lines;
using testing::VerifyLines;

Command DeleteEmpty(bool all) {
  return [all](host::CodeModule& m) { DelEmptyRows(m, 1, m.CountOfLines(), all); };
}
Command DeleteEmptyIn(int first, int last, bool all) {
  return [=](host::CodeModule& m) { DelEmptyRows(m, first, last, all); };
}
Command DeleteComments() {
  return [](host::CodeModule& m) { DelComments(m, 1, m.CountOfLines()); };
}
Command Compact() {
  return [](host::CodeModule& m) { CompactStrings(m, 1, m.CountOfLines()); };
}

struct Case {
  const char* name;
  friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
  Lines input;
  Command command;
  Lines expected;
  // A range of fixed numbers covers other lines once lines above its end were deleted.
  testing::Stability stability = testing::Stability::kStable;
};

class LineCleanupTest : public ::testing::TestWithParam<Case> {};

TEST_P(LineCleanupTest, Rewrites) {
  const Case& c = GetParam();
  VerifyLines(c.input, c.command, c.expected, testing::Outcome::kCompletes, c.stability);
}

const Case kCases[] = {
    // Empty rows.
    {"AllDeletesEveryEmptyRow", {"a", "", "", "", "b"}, DeleteEmpty(true), {"a", "b"}},
    {"WithoutAllARunShrinksToOneRow", {"a", "", "", "", "b"}, DeleteEmpty(false), {"a", "", "b"}},
    {"WithoutAllSingleEmptyRowsStay",
     {"a", "", "b", "", "c"},
     DeleteEmpty(false),
     {"a", "", "b", "", "c"}},
    {"WithoutAllRunsAtBothEndsShrink", {"", "", "a", "", ""}, DeleteEmpty(false), {"", "a", ""}},
    {"SpacesOnlyRowIsEmptyTabRowIsNot",
     {"a", "    ", "\t", "b"},
     DeleteEmpty(true),
     {"a", "\t", "b"}},
    {"RunCrossingRangeEndKeepsItsLastRowInRange",
     {"a", "", "", "", "b"},
     DeleteEmptyIn(1, 3, false),
     {"a", "", "", "b"},
     testing::Stability::kUnstable},
    {"AllLeavesRowsOutsideRange",
     {"", "a", "", "b", ""},
     DeleteEmptyIn(2, 4, true),
     {"", "a", "b", ""},
     testing::Stability::kUnstable},
    {"RangeOneToZeroDoesNothing", {"", ""}, DeleteEmptyIn(1, 0, true), {"", ""}},

    // Comments.
    {"TrailingCommentKeepsTheSpaceBeforeIt", {"x = 1 ' note"}, DeleteComments(), {"x = 1 "}},
    {"CommentOnlyLineKeepsItsIndentation", {"    ' note", "y"}, DeleteComments(), {"    ", "y"}},
    {"ApostropheInsideLiteralIsNoComment",
     {"Print \"it's\""},
     DeleteComments(),
     {"Print \"it's\""}},
    {"CommentAfterLiteralHoldingApostrophe",
     {"Print \"a'b\" ' c"},
     DeleteComments(),
     {"Print \"a'b\" "}},
    {"CommentAfterDoubledQuotes", {"s = \"\"\"\" ' q \"x\""}, DeleteComments(), {"s = \"\"\"\" "}},
    {"RemIsNotAComment", {"Rem note"}, DeleteComments(), {"Rem note"}},
    {"OnlyTheFirstCommentStartCounts", {"a ' b ' c"}, DeleteComments(), {"a "}},

    // Constant strings.
    {"ThreeConstantsBecomeOne", {"s = \"ab\" & \"cd\" & \"ef\""}, Compact(), {"s = \"abcdef\""}},
    {"ConstantsAroundAVariableStay",
     {"s = \"ab\" & vbCrLf & \"cd\""},
     Compact(),
     {"s = \"ab\" & vbCrLf & \"cd\""}},
    {"ConstantsWithoutSpacesStay", {"s = \"ab\"&\"cd\""}, Compact(), {"s = \"ab\"&\"cd\""}},
    {"SequenceInsideALiteralStays",
     {"x = \"a \"\" & \"\" b\""},
     Compact(),
     {"x = \"a \"\" & \"\" b\""}},
    {"SequenceInACommentStays",
     {"' join with \" & \"", "x = 1 ' \"a\" & \"b\""},
     Compact(),
     {"' join with \" & \"", "x = 1 ' \"a\" & \"b\""}},
    {"CodeBeforeACommentIsCompacted",
     {"x = \"a\" & \"b\" ' \"c\" & \"d\""},
     Compact(),
     {"x = \"ab\" ' \"c\" & \"d\""}},
    {"LiteralEndingInADoubledQuote", {"s = \"a \"\"\" & \"b\""}, Compact(), {"s = \"a \"\"b\""}},
    {"EmptyConstantsMerge", {"s = \"\" & \"x\" & \"\""}, Compact(), {"s = \"x\""}},
};

INSTANTIATE_TEST_SUITE_P(Rows, LineCleanupTest, ::testing::ValuesIn(kCases), host::test::RowName());

// Untouched lines keep their own ending even when it is not the module's.
TEST(LineCleanupEolTest, UntouchedLinesKeepTheirOwnEnding) {
  host::MemoryProject project("Project1");
  host::MemoryComponent& component =
      project.AddComponent("Module1", host::ComponentType::kStdModule);
  host::MemoryCodeModule& module = component.SetCode(
      {{"a", host::Eol::kCrLf}, {"", host::Eol::kLf}, {"b ' c", host::Eol::kCr}}, host::Eol::kLf);
  DelEmptyRows(module, 1, 3, true);
  DelComments(module, 1, 2);
  ASSERT_EQ(testing::TextsOf(module), (Lines{"a", "b "}));
  EXPECT_EQ(module.LineAt(1).eol, host::Eol::kCrLf);
  EXPECT_EQ(module.LineAt(2).eol, host::Eol::kCr);
}

}  // namespace
}  // namespace marquill::transform

#include "shell/script/script_parser.h"

#include <gtest/gtest.h>

#include "host/support/named_rows.h"
#include "support/errors.h"

namespace marquill::shell {
namespace {

std::string ErrorOf(std::string_view script) {
  return test::MessageOf<ScriptError>([&] { ParseScript(script, "t.mqs"); });
}

TEST(ScriptParserTest, ReadsStepsSkippingCommentsAndBlankLines) {
  auto steps = ParseScript(
      "# indent the module\r\n\r\nset txtIndent 2\r\n  click   cmdIndent  \r\nanswer yes\n"
      "pane modMain 10,5 12\nchoose cmbComponents \"Class 1\"",
      "t.mqs");
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[0].verb, StepVerb::kSet);
  EXPECT_EQ(steps[0].args, (std::vector<ScriptToken>{{"txtIndent", false}, {"2", false}}));
  EXPECT_EQ(steps[1].verb, StepVerb::kClick);
  EXPECT_EQ(steps[1].args.size(), 1u);
  EXPECT_EQ(steps[3].verb, StepVerb::kPane);
  EXPECT_EQ(steps[4].line, 7);
  EXPECT_EQ(steps[4].args[1], (ScriptToken{"Class 1", true}));
}

TEST(ScriptParserTest, LinesMayEndInACarriageReturnAlone) {
  auto steps = ParseScript("tab 2\r\r# note\rclick cmdIndent\r", "t.mqs");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].verb, StepVerb::kTab);
  EXPECT_EQ(steps[1].verb, StepVerb::kClick);
  EXPECT_EQ(steps[1].line, 4);
  EXPECT_EQ(ErrorOf("tab 2\rbogus"), "t.mqs:2: unknown step 'bogus'");
}

TEST(ScriptParserTest, AByteOrderMarkBeforeTheFirstStepIsSkipped) {
  auto steps = ParseScript("\xEF\xBB\xBFtab 2\r\nclick cmdIndent\r\n", "t.mqs");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].verb, StepVerb::kTab);
  EXPECT_EQ(steps[0].line, 1);
  EXPECT_EQ(ErrorOf("tab 2\n\xEF\xBB\xBFtab 3"), "t.mqs:2: unknown step '\xEF\xBB\xBFtab'")
      << "only in front of the file";
}

TEST(ScriptParserTest, QuotedTextsTakeEscapes) {
  auto tokens = TokenizeLine(R"(set txtErrHandler "a \"b\"\r\n\tc\\d")", "t.mqs", 1);
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[2].text, "a \"b\"\r\n\tc\\d");
  EXPECT_TRUE(tokens[2].quoted);
  EXPECT_EQ(TokenizeLine(R"(set txtDesc "")", "t.mqs", 1).at(2).text, "");
}

struct ErrorCase {
  const char* name;
  const char* script;
  const char* message;
};

class ScriptParserErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ScriptParserErrorTest, GivesTheFileLineAndExactMessage) {
  EXPECT_EQ(ErrorOf(GetParam().script), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScriptParserErrorTest,
    testing::Values(
        ErrorCase{"UnknownVerb", "# x\npress cmdIndent", "t.mqs:2: unknown step 'press'"},
        ErrorCase{"QuotedVerb", "\"click\" cmdIndent", "t.mqs:1: unknown step 'click'"},
        ErrorCase{"MissingArgument", "set txtSplit", "t.mqs:1: usage: set CONTROL TEXT"},
        ErrorCase{"ExtraArgument", "click cmdIndent now", "t.mqs:1: usage: click CONTROL"},
        ErrorCase{"BadControlName", "click 1abc",
                  "t.mqs:1: '1abc' is not a control name such as txtSplit or optWhere(1)"},
        ErrorCase{"BadIndex", "click optWhere(x)",
                  "t.mqs:1: 'optWhere(x)' is not a control name such as txtSplit or optWhere(1)"},
        ErrorCase{"CheckValue", "check chkDelLines 3",
                  "t.mqs:1: a check box value is 0, 1 or 2, not '3'"},
        ErrorCase{"TabNumber", "tab two", "t.mqs:1: usage: tab N (a whole number)"},
        ErrorCase{"PanePosition", "pane modMain 3,x 4",
                  "t.mqs:1: a code pane position is LINE or LINE,COLUMN, not '3,x'"},
        ErrorCase{"PaneNeedsBothEnds", "pane modMain 3",
                  "t.mqs:1: usage: pane MODULE [FIRST[,COL] LAST[,COL]] | pane none"},
        ErrorCase{"PaneSelectionBackwards", "pane modMain 5 3,2",
                  "t.mqs:1: the selection ends on line 3, before its first line 5"},
        ErrorCase{"UnclosedQuote", "set txtDesc \"abc", "t.mqs:1: a quoted text is not closed"},
        ErrorCase{"UnknownEscape", "set txtDesc \"a\\qb\"",
                  "t.mqs:1: unknown escape in a quoted text (use \\\" \\\\ \\r \\n \\t)"}),
    host::test::RowName());

TEST(ScriptParserTest, EntriesArePositionsOnlyWhenUnquoted) {
  EXPECT_EQ(ParseEntryRef({"#2", false}).position, 2);
  EXPECT_EQ(ParseEntryRef({"#2", true}).position, -1);
  EXPECT_EQ(ParseEntryRef({"#2", true}).text, "#2");
  EXPECT_EQ(ParseEntryRef({"#x", false}).text, "#x");
}

TEST(ScriptParserTest, PanePositionsDefaultToColumnOne) {
  int line = 0;
  int column = 0;
  EXPECT_TRUE(ParsePanePosition("12", line, column));
  EXPECT_EQ(line, 12);
  EXPECT_EQ(column, 1);
  EXPECT_TRUE(ParsePanePosition("3,7", line, column));
  EXPECT_EQ(column, 7);
  EXPECT_FALSE(ParsePanePosition("0", line, column));
  EXPECT_FALSE(ParsePanePosition("3,0", line, column));
}

}  // namespace
}  // namespace marquill::shell

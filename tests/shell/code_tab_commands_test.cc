#include "shell/window/code_tab_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin_fixture.h"
#include "host/support/named_rows.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

using host::ComponentType;
using host::test::LinesOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

const Lines kModA = {"Sub A()", "", "", "x = 1 ' one", "End Sub"};
const Lines kClsB = {"Sub B()", "", "", "y = \"b\" & \"c\"", "End Sub"};

class CodeTabTest : public testing_util::AddinFixture {
 protected:
  CodeTabTest()
      : AddinFixture({
            {"modA", ComponentType::kStdModule, kModA},
            {"Res", ComponentType::kResFile, {}},
            {"clsB", ComponentType::kClassModule, kClsB},
        }) {}

  Lines Code(const std::string& component) {
    return LinesOf(*Project().ComponentNamed(component).Code());
  }
  host::CodeModule& Module(const std::string& component) {
    return *Project().ComponentNamed(component).Code();
  }
  std::vector<PlatformCall> Questions() const { return platform_.CallsOf("MsgBox"); }
  void Answer(Answer::Kind kind) { platform_.Queue({kind, "", "test"}); }
};

TEST_F(CodeTabTest, AllProjectCleansEveryCodeModule) {
  frmUtility& window = OpenWindow();
  window.cmdDelEmpty.Click();
  window.cndDelAllComments.Click();
  window.cmdCompactStr.Click();
  EXPECT_THAT(Code("modA"), ElementsAre("Sub A()", "x = 1 ", "End Sub"));
  EXPECT_THAT(Code("clsB"), ElementsAre("Sub B()", "y = \"bc\"", "End Sub"));
  EXPECT_THAT(platform_.Calls(), IsEmpty());
}

TEST_F(CodeTabTest, UntickedAllCollapsesRunsInTheCurrentModuleOnly) {
  frmUtility& window = OpenWindow();
  vbe_->ShowCode(Module("clsB"));
  window.optWhere(1).Click();
  window.chkDelLines.SetValue(0);
  window.cmdDelEmpty.Click();
  EXPECT_EQ(Code("modA"), kModA);
  EXPECT_THAT(Code("clsB"), ElementsAre("Sub B()", "", "y = \"b\" & \"c\"", "End Sub"));
}

TEST_F(CodeTabTest, SelectedTextTakesTheSelectionsWholeLines) {
  frmUtility& window = OpenWindow();
  vbe_->ShowCode(Module("modA"), {3, 4, 4, 1});
  window.optWhere(2).Click();
  window.cmdDelEmpty.Click();
  // Line 2 is outside; lines 3 and 4 are taken whole although the selection ends at column 1.
  EXPECT_THAT(Code("modA"), ElementsAre("Sub A()", "", "x = 1 ' one", "End Sub"));
}

TEST_F(CodeTabTest, WithoutACodePaneThePaneScopesChangeNothing) {
  Module("modA").ReplaceLine(4, "    x = 1 + _");
  const Lines before = Code("modA");
  frmUtility& window = OpenWindow();
  for (int where : {1, 2}) {
    window.optWhere(where).Click();
    Answer(Answer::Kind::kYes);
    for (CommandButton* button :
         {&window.cmdDelEmpty, &window.cmdCompactStr, &window.cndDelAllComments,
          &window.cmdDelSplit, &window.cmdSplit, &window.cmdIndent}) {
      button->Click();
    }
  }
  EXPECT_EQ(Code("modA"), before);
  EXPECT_EQ(Code("clsB"), kClsB);
  // Only Indent shows something: its question comes before it looks for the code pane.
  EXPECT_EQ(Questions().size(), 2u);
  EXPECT_EQ(platform_.Calls().size(), 2u);
}

TEST_F(CodeTabTest, SplitUsesTheFieldsWidthAndNothingAtZero) {
  Module("modA").ReplaceLine(4, "x = \"aaaa bbbb cccc dddd eeee\"");
  frmUtility& window = OpenWindow();
  for (const char* nothing : {"0", "0.4", "abc"}) {
    window.txtSplit.SetText(nothing);
    window.cmdSplit.Click();
    EXPECT_EQ(Code("modA")[3], "x = \"aaaa bbbb cccc dddd eeee\"") << nothing;
  }
  window.txtSplit.SetText("19.5");  // rounds to 20, halves to even
  window.cmdSplit.Click();
  EXPECT_THAT(Code("modA"), ElementsAre("Sub A()", "", "", "x = \"aaaa bbbb cccc \" & _",
                                        "\"dddd eeee\"", "End Sub"));
}

TEST_F(CodeTabTest, IndentAsksFirstAndNoLeavesTheCodeAlone) {
  Module("modA").ReplaceLine(4, "x = 1 + _");
  Module("modA").InsertLines(5, "2");
  const Lines before = Code("modA");
  frmUtility& window = OpenWindow();
  Answer(Answer::Kind::kNo);
  window.cmdIndent.Click();
  EXPECT_EQ(Code("modA"), before);
  ASSERT_EQ(Questions().size(), 1u);
  EXPECT_EQ(Questions()[0].detail,
            "Attention: This will remove multiple line spliting !|Continue ?");
}

TEST_F(CodeTabTest, IndentJoinsThenIndentsAtTheRoundedWidth) {
  Project().ComponentNamed("modA").SetCode(
      host::test::ToSourceLines({"Sub A() _", "", "For i = 1 To 2", "x = 1", "Next", "End Sub"}));
  frmUtility& window = OpenWindow();
  window.txtIndent.SetText("2.5");
  Answer(Answer::Kind::kYes);
  window.cmdIndent.Click();
  // "Sub A() _" is joined with the empty line below it; the body goes in by CLng(2.5) = 2.
  EXPECT_THAT(Code("modA"),
              ElementsAre("Sub A() ", "For i = 1 To 2", "  x = 1", "Next", "End Sub"));
  EXPECT_EQ(Code("clsB"), kClsB);
}

TEST_F(CodeTabTest, IndentAtAWidthRoundingToZeroWritesFlushLeft) {
  Module("modA").ReplaceLine(4, "    x = 1");
  frmUtility& window = OpenWindow();
  window.txtIndent.SetText("0.4");
  Answer(Answer::Kind::kYes);
  window.cmdIndent.Click();
  EXPECT_EQ(Code("modA")[3], "x = 1");
  window.txtIndent.SetText("0");
  window.cmdIndent.Click();
  EXPECT_EQ(Questions().size(), 1u) << "a width of 0 asks nothing";
}

// What the window keeps quiet about is noted for the command line, anew on every click.
TEST_F(CodeTabTest, JoinsLeftContinuedAreNoted) {
  const std::string piece = "x = " + std::string(600, 'a') + " + _";
  Project().ComponentNamed("modA").SetCode(
      host::test::ToSourceLines({"Sub A()", piece, piece, "1", "y = 1 + _", "2", "End Sub"}));
  Project().ComponentNamed("clsB").SetCode(host::test::ToSourceLines({piece, "1", "z"}));
  frmUtility& window = OpenWindow();
  window.cmdDelSplit.Click();
  EXPECT_EQ(window.lineNotes.statements_left_continued, 1);  // clsB's is one line of 607
  EXPECT_EQ(Code("modA")[4], "y = 1 + 2");
  Answer(Answer::Kind::kYes);
  window.cmdIndent.Click();
  EXPECT_EQ(window.lineNotes.statements_left_continued, 1);
  EXPECT_THAT(window.lineNotes.stops, IsEmpty());
  window.cmdCompactStr.Click();
  EXPECT_EQ(window.lineNotes.statements_left_continued, 1) << "other commands leave the notes";
  window.cmdDelSplit.Click();
  EXPECT_EQ(window.lineNotes.statements_left_continued, 1) << "counted anew, not added up";
}

TEST_F(CodeTabTest, IndentStopIsNotedQuietlyAndOtherModulesGoOn) {
  Project().ComponentNamed("modA").SetCode(
      host::test::ToSourceLines({"For i = 1 To 2", "Do", "x", "Loop", "Next"}));
  Project().ComponentNamed("clsB").SetCode(
      host::test::ToSourceLines({"With f", ".x = 1", "End With"}));
  frmUtility& window = OpenWindow();
  window.txtIndent.SetText("600");
  Answer(Answer::Kind::kYes);
  window.cmdIndent.Click();
  ASSERT_EQ(window.lineNotes.stops.size(), 1u);
  EXPECT_EQ(window.lineNotes.stops[0].module, "modA");
  EXPECT_EQ(window.lineNotes.stops[0].line, 3);
  EXPECT_THAT(Code("clsB"), ElementsAre("With f", std::string(600, ' ') + ".x = 1", "End With"));
  EXPECT_EQ(Questions().size(), 1u) << "only the question is shown";
  window.txtIndent.SetText("4");
  Answer(Answer::Kind::kYes);
  window.cmdIndent.Click();
  EXPECT_THAT(window.lineNotes.stops, IsEmpty());
}

struct FieldCase {
  const char* name;
  const char* typed;
  const char* shown;
  friend void PrintTo(const FieldCase& row, std::ostream* os) { *os << row.name; }
};

class NumberFieldTest : public testing_util::AddinFixture,
                        public ::testing::WithParamInterface<FieldCase> {};

// The window wires each field to the shared normaliser; its own rows say what it keeps.
const FieldCase kFieldCases[] = {
    {"DigitsBeforeLettersStay", "12ab", "12"},
    {"DecimalFractionStays", "1.5", "1.5"},
};

class IndentFieldTest : public NumberFieldTest {};
class SplitFieldTest : public NumberFieldTest {};

TEST_P(IndentFieldTest, NormalisesOnEveryChange) {
  frmUtility& window = OpenWindow();
  window.txtIndent.SetText(GetParam().typed);
  EXPECT_EQ(window.txtIndent.Text(), GetParam().shown);
}

TEST_P(SplitFieldTest, NormalisesWhenItLosesTheFocus) {
  frmUtility& window = OpenWindow();
  window.txtSplit.SetText(std::string(GetParam().typed) + " ");
  EXPECT_EQ(window.txtSplit.Text(), std::string(GetParam().typed) + " ");
  window.txtSplit.LoseFocus();
  EXPECT_EQ(window.txtSplit.Text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, IndentFieldTest, ::testing::ValuesIn(kFieldCases),
                         host::test::RowName());
INSTANTIATE_TEST_SUITE_P(Rows, SplitFieldTest, ::testing::ValuesIn(kFieldCases),
                         host::test::RowName());

}  // namespace
}  // namespace marquill::shell

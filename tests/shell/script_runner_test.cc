#include "shell/script/script_runner.h"

#include <gtest/gtest.h>

#include "addin_fixture.h"
#include "host/store/database.h"
#include "host/support/named_rows.h"
#include "support/errors.h"

namespace marquill::shell {
namespace {

using host::ComponentType;
using testing_util::AddinFixture;

class ScriptRunnerTest : public AddinFixture {
 protected:
  ScriptRunnerTest()
      : AddinFixture({{"modMain", ComponentType::kStdModule, {"Sub Main()", "End Sub"}},
                      {"frmMain", ComponentType::kVBForm, {}},
                      {"frmAbout", ComponentType::kVBForm, {}},
                      {"Resources", ComponentType::kResFile, {}}}) {}

  void Run(std::string_view script) {
    if (!addin_) OpenWindow();
    RunScript(ParseScript(script, "t.mqs"), {*addin_, bars_, *vbe_, platform_}, "t.mqs");
  }

  // The message of the ScriptError the script stops with, "" when it runs through.
  std::string ErrorOf(std::string_view script) {
    return test::MessageOf<ScriptError>([&] { Run(script); });
  }

  frmUtility& Window() { return *addin_->MainWindow(); }
};

TEST_F(ScriptRunnerTest, StepsSetTheWindowsControlsAsAUserWould) {
  OpenWindow();
  std::vector<std::string> events;
  Window().txtSplit.OnLostFocus([&] { events.push_back("txtSplit lost focus"); });
  Window().optWhere.OnClick([&](int i) { events.push_back("optWhere " + std::to_string(i)); });
  Window().cmbComponents.OnClick(
      [&] { events.push_back("cmbComponents " + Window().cmbComponents.Text()); });
  Run("set txtSplit 60\n"
      "select optWhere(2)\n"
      "click optWhere(2)\n"
      "check chkDelLines 0\n"
      "click chkColors\n"
      "choose cmbComponents frmAbout\n"
      "choose cmbWhereErr #1\n"
      "untick lstForms frmMain\n"
      "tab 4\n"
      "set txtDesc \"two\\r\\nlines\"\n");
  EXPECT_EQ(events, (std::vector<std::string>{"txtSplit lost focus", "optWhere 2", "optWhere 2",
                                              "cmbComponents frmAbout"}));
  EXPECT_EQ(Window().txtSplit.Text(), "60");
  EXPECT_TRUE(Window().optWhere(2).Value());
  EXPECT_EQ(Window().chkDelLines.Value(), 0);
  EXPECT_EQ(Window().chkColors.Value(), 1);
  EXPECT_EQ(Window().cmbWhereErr.Text(), "selected member");
  EXPECT_FALSE(Window().lstForms.Selected(0));
  EXPECT_TRUE(Window().lstForms.Selected(1));
  EXPECT_EQ(Window().SSTab1.Tab(), 4);
  EXPECT_EQ(Window().txtDesc.Text(), "two\r\nlines");
}

TEST_F(ScriptRunnerTest, PaneStepsPutTheActiveCodePaneOnAModule) {
  Run("pane modMain 1,5 2,3");
  ASSERT_NE(vbe_->ActiveCodePane(), nullptr);
  EXPECT_EQ(vbe_->ActiveCodePane()->GetSelection(), (host::Selection{1, 5, 2, 3}));
  EXPECT_EQ(&vbe_->ActiveCodePane()->CodeModule(),
            Project().ComponentNamed("modMain").CodeModule());
  Run("pane none");
  EXPECT_EQ(vbe_->ActiveCodePane(), nullptr);
}

TEST_F(ScriptRunnerTest, AnswersWaitForTheirQuestions) {
  OpenWindow();
  std::vector<std::string> got;
  Window().cmdIndent.OnClick([&] {
    MsgBoxResult result = platform_.MsgBox({"Continue ?", "Attention", MsgBoxButtons::kYesNo});
    got.push_back(result == MsgBoxResult::kYes ? "yes" : "no");
    got.push_back(platform_.InputBox("Name?", "New", "").value_or("<cancel>"));
  });
  Run("answer yes\nanswer \"no\"\nclick cmdIndent\nanswer no\nanswer cancel\nclick cmdIndent");
  EXPECT_EQ(got, (std::vector<std::string>{"yes", "no", "no", "<cancel>"}));
}

TEST_F(ScriptRunnerTest, MenuToolbarAndShortcutStepsClickTheAddinsControls) {
  {
    host::Connection connection;
    connection.Open(addin_folder_.Folder() + "Marquill.mdb");
    connection.Execute(host::InsertShortcutSql("Header"));
    connection.Execute(host::UpdateShortcutSql("Header", "' Header"));
  }
  vbe_->AddToolWindow("Immediate", host::WindowType::kImmediate);
  vbe_->SetImmediateText("text");
  Run("menu \"Clear Immediate window\"\npane modMain 2 2\nshortcut Header\n"
      "toolbar \"Close all windows\"");
  EXPECT_EQ(vbe_->ImmediateText(), "");
  EXPECT_EQ(host::test::LinesOf(*Project().ComponentNamed("modMain").CodeModule()),
            (std::vector<std::string>{"Sub Main()", "' Header", "End Sub"}));
  EXPECT_EQ(vbe_->ActiveCodePane(), nullptr);
}

TEST_F(ScriptRunnerTest, AnAnswerThatDoesNotFitStopsTheStepThatAsked) {
  OpenWindow();
  Window().cmdIndent.OnClick([&] {
    platform_.MsgBox({"Continue ?", "Attention", MsgBoxButtons::kYesNo});
  });
  EXPECT_EQ(ErrorOf("answer \"maybe\"\nclick cmdIndent"),
            "t.mqs:2: the answer \"maybe\" (given at t.mqs:1) does not fit the question "
            "\"Continue ?\"");
}

TEST_F(ScriptRunnerTest, AFailureInsideACommandIsReportedAsAFailedCommand) {
  OpenWindow();
  Window().cmdIndent.OnClick([] { throw host::HostError("the module is read-only"); });
  try {
    Run("\nclick cmdIndent");
    FAIL() << "the failure was swallowed";
  } catch (const ScriptError& error) {
    EXPECT_TRUE(error.command_failed());
    EXPECT_EQ(std::string(error.what()), "t.mqs:2: the command failed: the module is read-only");
  }
}

TEST_F(ScriptRunnerTest, KeyStepsReachTheWindow) {
  Run("key 112");
  EXPECT_EQ(platform_.CallsOf("ShellOpen").size(), 1u);
}

struct ErrorCase {
  const char* name;
  const char* script;
  const char* message;
};

class ScriptRunnerErrorTest : public ScriptRunnerTest,
                              public testing::WithParamInterface<ErrorCase> {};

TEST_P(ScriptRunnerErrorTest, StopsAtTheStepWithItsLineAndAClearMessage) {
  EXPECT_EQ(ErrorOf(GetParam().script), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScriptRunnerErrorTest,
    testing::Values(
        ErrorCase{"UnknownControl", "tab 1\nclick cmdNope",
                  "t.mqs:2: the main window has no control 'cmdNope'"},
        ErrorCase{"ArrayWithoutIndex", "click optWhere",
                  "t.mqs:1: optWhere is a control array: name an element, such as optWhere(0)"},
        ErrorCase{"MissingElement", "check chkReport(3) 1", "t.mqs:1: chkReport has no element 3"},
        ErrorCase{"IndexOnALoneControl", "click cmdIndent(0)",
                  "t.mqs:1: cmdIndent is not a control array"},
        ErrorCase{"WrongKind", "set cmdIndent 4",
                  "t.mqs:1: cmdIndent is a button; 'set' needs a text box"},
        ErrorCase{"ClickOnAList", "click lstForms",
                  "t.mqs:1: lstForms is a list box; 'click' needs a button, a picture box, an "
                  "option button or a check box"},
        ErrorCase{"Disabled", "click cmdShortcut(2)", "t.mqs:1: cmdShortcut(2) is disabled"},
        ErrorCase{"MissingEntry", "choose cmbComponents modGone",
                  "t.mqs:1: cmbComponents has no entry 'modGone'"},
        ErrorCase{"MissingPosition", "choose cmbWhereErr #2",
                  "t.mqs:1: cmbWhereErr has no entry #2 (it has 2)"},
        ErrorCase{"TickWithoutCheckBoxes", "tick cmbComponents modMain",
                  "t.mqs:1: cmbComponents has no check boxes; use 'choose'"},
        ErrorCase{"MissingTab", "tab 8", "t.mqs:1: SSTab1: no tab 8"},
        ErrorCase{"MissingModule", "pane modGone",
                  "t.mqs:1: the project has no component 'modGone'"},
        ErrorCase{"ModuleWithoutCode", "pane Resources", "t.mqs:1: Resources has no code"},
        ErrorCase{"SelectionPastTheLastLine", "pane modMain 2 3",
                  "t.mqs:1: modMain has 2 lines; the selection cannot reach line 3"},
        ErrorCase{"MissingMenuItem", "menu \"Open\"",
                  "t.mqs:1: the Marquill menu has no item 'Open'"},
        ErrorCase{"MissingShortcut", "shortcut Header",
                  "t.mqs:1: the Shortcuts box has no entry 'Header'"},
        ErrorCase{"AnswerNobodyAskedFor", "answer yes\n# done\nclick cmdHelp",
                  "t.mqs:1: no question came for this answer"}),
    host::test::RowName());

// A wrong name stops the script before its first step: nothing is shown, asked or opened.
class ScriptCheckedUpFrontTest : public ScriptRunnerTest,
                                 public testing::WithParamInterface<ErrorCase> {};

TEST_P(ScriptCheckedUpFrontTest, NothingRunsBeforeTheWrongName) {
  const std::vector<std::string> code =
      host::test::LinesOf(*Project().ComponentNamed("modMain").CodeModule());
  EXPECT_EQ(ErrorOf(GetParam().script), GetParam().message);
  EXPECT_TRUE(platform_.Calls().empty()) << platform_.Calls().size() << " platform calls";
  EXPECT_EQ(Window().txtIndent.Text(), "4");
  EXPECT_EQ(host::test::LinesOf(*Project().ComponentNamed("modMain").CodeModule()), code);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScriptCheckedUpFrontTest,
    testing::Values(
        ErrorCase{"UnknownControl", "key 112\nclick cmdNope",
                  "t.mqs:2: the main window has no control 'cmdNope'"},
        ErrorCase{"MissingElement", "key 112\nanswer yes\nclick cmdIndent\ncheck chkReport(3) 1",
                  "t.mqs:4: chkReport has no element 3"},
        ErrorCase{"IndexOnALoneControl", "key 112\nselect txtIndent(1)",
                  "t.mqs:2: txtIndent is not a control array"},
        ErrorCase{"WrongKind", "key 112\nset cmdIndent 4",
                  "t.mqs:2: cmdIndent is a button; 'set' needs a text box"},
        ErrorCase{"ChooseOnAButton", "key 112\nchoose cmdIndent x",
                  "t.mqs:2: cmdIndent is a button; 'choose' needs a combo box or a list box"},
        ErrorCase{"TickWithoutCheckBoxes", "key 112\ntick cmbComponents modMain",
                  "t.mqs:2: cmbComponents has no check boxes; use 'choose'"},
        ErrorCase{"MissingMenuItem", "key 112\nmenu \"Open\"",
                  "t.mqs:2: the Marquill menu has no item 'Open'"},
        ErrorCase{"MissingToolbarButton", "key 112\ntoolbar \"Open\"",
                  "t.mqs:2: the toolbar has no item 'Open'"},
        ErrorCase{"MissingTab", "key 112\ntab 9", "t.mqs:2: SSTab1: no tab 9"},
        ErrorCase{"KeyCodeOutOfRange", "key 112\nkey 256",
                  "t.mqs:2: a key code runs from 0 to 255, not 256"},
        ErrorCase{"MissingModule", "key 112\npane modGone",
                  "t.mqs:2: the project has no component 'modGone'"},
        ErrorCase{"LastOfManySteps",
                  "key 112\nset txtIndent 2\npane modMain 2 2\nshortcut Header\n"
                  "answer yes\nclick cmdIndent\nclick cmdNope",
                  "t.mqs:7: the main window has no control 'cmdNope'"}),
    host::test::RowName());

// What earlier steps change is checked when its step comes: here the selection reaches a line
// that only the pasted shortcut adds.
TEST_F(ScriptRunnerTest, NamesThatDependOnEarlierStepsAreCheckedWhenReached) {
  {
    host::Connection connection;
    connection.Open(addin_folder_.Folder() + "Marquill.mdb");
    connection.Execute(host::InsertShortcutSql("Header"));
    connection.Execute(host::UpdateShortcutSql("Header", "' Header"));
  }
  Run("pane modMain 2 2\nshortcut Header\npane modMain 3 3");
  EXPECT_EQ(host::test::LinesOf(*Project().ComponentNamed("modMain").CodeModule()).size(), 3u);
  EXPECT_EQ(ErrorOf("pane modMain 4 4"),
            "t.mqs:1: modMain has 3 lines; the selection cannot reach line 4");
}

}  // namespace
}  // namespace marquill::shell

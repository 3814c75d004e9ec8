#include "shell/window/comments_tab_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

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

const Lines kModA = {"Option Explicit", "Private mCount As Long",
                     "Const kMax = 3",  "Public Sub Main()",
                     "End Sub",         "Function Twice(ByVal n As Long) As Long",
                     "End Function"};
const Lines kClsB = {"Public Event Changed()", "Public Property Get Size() As Long", "End Property",
                     "Public Property Let Size(ByVal n As Long)", "End Property"};
const Lines kModVars = {"Public Total As Long", "Const kOne = 1"};

docs::CommentSettings Sample() {
  docs::CommentSettings settings;
  settings.module_comments = true;
  settings.standard_comments = true;
  settings.delimiters = true;
  settings.delim = "=";
  settings.delim_count = "5";
  settings.member_line = "' Isn't it";
  settings.module_template = "' Module 'A'\r\n' by me";
  return settings;
}

const std::string kErrorBox = "Error: Error with Marquill.mdb !";

class CommentsTabTest : public testing_util::AddinFixture {
 protected:
  CommentsTabTest()
      : AddinFixture({
            {"modA", ComponentType::kStdModule, kModA},
            {"Res", ComponentType::kResFile, {}},
            {"clsB", ComponentType::kClassModule, kClsB},
            {"modVars", ComponentType::kStdModule, kModVars},
        }) {}

  std::string DatabaseFile() const { return addin_folder_.Folder() + "Marquill.mdb"; }

  void Seed(const docs::CommentSettings& settings) {
    host::Database database(DatabaseFile());
    docs::SaveCommentSettings(database, settings);
  }

  docs::CommentSettings Stored() {
    host::Database database(DatabaseFile());
    return docs::LoadCommentSettings(database).value();
  }

  // The window, shown so its pickers are filled.
  frmUtility& Shown() {
    frmUtility& window = OpenWindow();
    window.SetVbe(vbe_.get());
    window.Show();
    return window;
  }

  Lines Code(const std::string& component) {
    return LinesOf(*Project().ComponentNamed(component).Code());
  }
};

TEST_F(CommentsTabTest, LoadFillsTheFieldsFromTheDatabase) {
  Seed(Sample());
  frmUtility& window = OpenWindow();
  EXPECT_EQ(CommentSettingsOf(window), Sample());
  EXPECT_EQ(window.chkComments(0).Value(), 1);
  EXPECT_EQ(window.chkComments(2).Value(), 0);
  EXPECT_THAT(MsgBoxes(), IsEmpty());
}

TEST_F(CommentsTabTest, LoadSetsTheFieldsInTheirOrder) {
  frmUtility window(
      WindowContext{platform_, settings_, ConnectAddin().Shared(), addin_folder_.Folder()});
  std::vector<std::string> order;
  for (Control* control : window.AllControls()) {
    if (control->Page() != CommentsTab::kPage) continue;
    control->Subscribe([&order](Control& changed, ControlState state) {
      if (state == ControlState::kText || state == ControlState::kValue) {
        if (order.empty() || order.back() != changed.DisplayName()) {
          order.push_back(changed.DisplayName());
        }
      }
    });
  }
  window.Load();
  EXPECT_THAT(order, ElementsAre("chkComments(0)", "chkComments(1)", "chkComments(3)", "txtDelim",
                                 "txtDelimNr", "txtCommentFormat", "txtCmtLine"));
}

TEST_F(CommentsTabTest, SaveWritesTheFieldsAsTheyAreNow) {
  frmUtility& window = OpenWindow();
  ShowCommentSettings(window, Sample());
  window.chkComments(3).SetValue(2);  // greyed counts as off
  EXPECT_TRUE(window.cmdCommentSave.Click());
  docs::CommentSettings expected = Sample();
  expected.delimiters = false;
  EXPECT_EQ(Stored(), expected);
  EXPECT_THAT(MsgBoxes(), IsEmpty());
}

TEST_F(CommentsTabTest, ClosingWithoutSavingDiscardsTheEdits) {
  Seed(Sample());
  frmUtility& window = OpenWindow();
  window.txtCmtLine.SetText("' edited");
  addin_->UnloadMainWindow();
  EXPECT_EQ(Stored(), Sample());
}

struct CountRow {
  const char* name;
  const char* typed;
  const char* held;
};

const CountRow kCountRows[] = {
    {"LeadingZeros", "007", "7"},
    {"Letters", "abc", "0"},
};

class DelimNrFieldTest : public CommentsTabTest, public testing::WithParamInterface<CountRow> {};

TEST_P(DelimNrFieldTest, TypingLeavesAWholeNumber) {
  frmUtility& window = OpenWindow();
  window.txtDelimNr.SetText(GetParam().typed);
  EXPECT_EQ(window.txtDelimNr.Text(), GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(Rows, DelimNrFieldTest, testing::ValuesIn(kCountRows),
                         host::test::RowName());

TEST_F(CommentsTabTest, PickingAModuleListsItsMethodsPropertiesAndEventsTicked) {
  frmUtility& window = Shown();
  window.cmbCmtModules.Choose(window.cmbCmtModules.Find("clsB"));
  ListBox& list = window.lstComment;
  ASSERT_EQ(list.ListCount(), 2);
  EXPECT_EQ(list.List(0), "Changed");
  EXPECT_EQ(list.ItemData(0), 4);
  EXPECT_EQ(list.List(1), "Size");
  EXPECT_EQ(list.ItemData(1), 2);
  EXPECT_TRUE(list.Selected(0) && list.Selected(1));

  window.cmbCmtModules.Choose(window.cmbCmtModules.Find("modVars"));
  EXPECT_EQ(list.ListCount(), 0) << "variables and constants get no entry";
}

TEST_F(CommentsTabTest, PickingAModuleThatIsGoneLeavesTheListEmpty) {
  frmUtility& window = Shown();
  window.cmbCmtModules.Choose(window.cmbCmtModules.Find("modA"));
  Project().RemoveComponent("clsB");
  window.cmbCmtModules.Choose(window.cmbCmtModules.Find("clsB"));
  EXPECT_EQ(window.lstComment.ListCount(), 0);
}

TEST_F(CommentsTabTest, InsertWithoutAModuleSaysSoAndChangesNothing) {
  frmUtility& window = Shown();
  ShowCommentSettings(window, Sample());
  EXPECT_TRUE(window.cmdCommentInsert.Click());
  EXPECT_THAT(MsgBoxes(), ElementsAre("Atention: Select a module first!"));
  EXPECT_EQ(Code("modA"), kModA);
}

TEST_F(CommentsTabTest, InsertUsesTheLiveFieldsAndOnlyTickedMembers) {
  Seed(Sample());
  frmUtility& window = Shown();
  window.cmbCmtModules.Choose(window.cmbCmtModules.Find("modA"));
  window.lstComment.SetSelected(window.lstComment.Find("Main"), false);
  window.chkComments(0).SetValue(0);  // unsaved: no module header
  window.txtDelimNr.SetText("3");
  EXPECT_TRUE(window.cmdCommentInsert.Click());
  EXPECT_THAT(Code("modA"),
              ElementsAre("Option Explicit", "Private mCount As Long", "Const kMax = 3",
                          "Public Sub Main()", "End Sub", "Function Twice(ByVal n As Long) As Long",
                          "' ===", "' Twice (Function) description:", "'", "' Parameters: ",
                          "'    [in] n", "'", "' Return: ", "'", "' ===", "End Function"));
  EXPECT_THAT(MsgBoxes(), IsEmpty());
}

TEST_F(CommentsTabTest, ModuleHeaderGoesAboveTheFirstLine) {
  frmUtility& window = Shown();
  ShowCommentSettings(window, Sample());
  window.chkComments(1).SetValue(0);
  window.cmbCmtModules.Choose(window.cmbCmtModules.Find("clsB"));
  EXPECT_TRUE(window.cmdCommentInsert.Click());
  Lines expected = {"' =====", "' Module 'A'", "' by me", "' ====="};
  expected.insert(expected.end(), kClsB.begin(), kClsB.end());
  EXPECT_EQ(Code("clsB"), expected);
}

// Databases the window cannot use: the load or the save says so in a box titled "Error", and the
// fields keep what they held.
class UnusableDatabaseTest : public CommentsTabTest {
 protected:
  void WriteTextFile() { test::WriteBytes(DatabaseFile(), "plain text\n"); }
  // The header's write version tells SQLite to open the file for reading only, whoever runs the
  // tests.
  void MakeReadOnly() {
    std::fstream bytes(DatabaseFile(), std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(18);
    bytes.put(static_cast<char>(3));
  }
};

TEST_F(UnusableDatabaseTest, NotADatabaseIsReportedOnceByTheLoadAndAgainAtSave) {
  WriteTextFile();
  ConnectAddin();
  EXPECT_THAT(MsgBoxes(), ElementsAre(kErrorBox)) << "the add-in's connection reports it first";
  frmUtility& window = OpenWindow();
  EXPECT_THAT(MsgBoxes(), ElementsAre(kErrorBox, kErrorBox)) << "one more for the window's load";
  EXPECT_EQ(CommentSettingsOf(window), docs::CommentSettings()) << "design-time defaults";
  ShowCommentSettings(window, Sample());
  window.cmdCommentSave.Click();
  EXPECT_THAT(MsgBoxes(), ElementsAre(kErrorBox, kErrorBox, kErrorBox));
  EXPECT_EQ(CommentSettingsOf(window), Sample());
  EXPECT_EQ(test::ReadBytes(DatabaseFile()), "plain text\n");
}

TEST_F(UnusableDatabaseTest, ReadOnlyDatabaseLoadsButRefusesTheSave) {
  Seed(Sample());
  MakeReadOnly();
  frmUtility& window = OpenWindow();
  EXPECT_EQ(CommentSettingsOf(window), Sample());
  window.txtCmtLine.SetText("' changed");
  window.cmdCommentSave.Click();
  EXPECT_THAT(MsgBoxes(), ElementsAre(kErrorBox));
  EXPECT_EQ(window.txtCmtLine.Text(), "' changed");
  EXPECT_EQ(Stored(), Sample());
}

}  // namespace
}  // namespace marquill::shell

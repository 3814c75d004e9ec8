#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "designer/form_files.h"
#include "host/support/named_rows.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/window/designer_tab_commands.h"
#include "shell/window/frm_utility.h"
#include "shell_test_util.h"

namespace marquill::shell {
namespace {

namespace fs = std::filesystem;
using designer::testing_util::FormFile;
using designer::testing_util::ReadBytes;
using designer::testing_util::WriteBytes;
using host::test::RowName;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Names = std::vector<std::string>;

const std::string kMain = FormFile(
    "frmMain",
    {"   Caption         =   \"Main\"", "   Begin VB.Label lblName ",
     "      Caption         =   \"Name:\"", "   End", "   Begin VB.TextBox Text1 ",
     "      TabIndex        =   1", "   End", "   Begin VB.TextBox Text10 ",
     "      TabIndex        =   2", "   End", "   Begin VB.Line linRule ", "   End"},
    {"Option Explicit", "Private Sub Text1_Change()", "    Text10.Text = Text1.Text", "End Sub"});

const std::string kArrayForm =
    FormFile("frmC",
             {"   Caption         =   \"C\"", "   Begin VB.OptionButton optPick ",
              "      Index           =   0", "   End", "   Begin VB.OptionButton optPick ",
              "      Index           =   1", "      TabIndex        =   1", "   End"},
             {"Private Sub optPick_Click(Index As Integer)", "End Sub"});

// Five forms, the fourth an MDI form, in this order in the project.
class DesignerTabsTest : public ::testing::Test {
 protected:
  DesignerTabsTest() {
    std::string vbp = "Type=Exe\r\n";
    for (const auto& [name, text] : std::vector<std::pair<std::string, std::string>>{
             {"frmMain", kMain},
             {"frmB", FormFile("frmB", {"   Caption         =   \"B\""})},
             {"frmC", kArrayForm},
             {"mdiD", FormFile("mdiD", {"   Caption         =   \"D\""}, {}, "VB.MDIForm")},
             {"frmE", FormFile("frmE", {"   Caption         =   \"E\""})}}) {
      WriteBytes(folder_.path() / (name + ".frm"), text);
      vbp += "Form=" + name + ".frm\r\n";
    }
    WriteBytes(folder_.path() / "Project.vbp", vbp);
    options_.project = folder_.path() / "Project.vbp";
    options_.platform = &platform_;
    options_.settings = &settings_;
    options_.addin_folder = addin_.Folder();
    session_ = std::make_unique<Session>(options_);
  }

  frmUtility& window() { return session_->Window(); }
  std::string Saved(const std::string& form) {
    for (const auto& file : session_->Project().SaveToMemory()) {
      if (file.path.filename() == form + ".frm") return file.bytes;
    }
    return ReadBytes(folder_.path() / (form + ".frm"));
  }
  Names ChangedFiles() {
    Names names;
    for (const auto& file : session_->Project().SaveToMemory())
      names.push_back(file.path.filename().string());
    return names;
  }
  void TickOnly(const Names& forms) {
    for (int i = 0; i < window().lstForms.ListCount(); ++i) {
      const std::string& name = window().lstForms.List(i);
      window().lstForms.SetSelected(i, std::find(forms.begin(), forms.end(), name) != forms.end());
    }
  }
  void Answer(const std::string& text) { platform_.Queue({Answer::Kind::kText, text, "test"}); }
  std::vector<PlatformCall> Errors() const { return platform_.CallsOf("MsgBox"); }
  void ExpectOneError(const std::string& text) {
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_THAT(Errors()[0].detail, HasSubstr(text));
  }
  Names Entries(const ListControl& list) {
    Names names;
    for (int i = 0; i < list.ListCount(); ++i) names.push_back(list.List(i));
    return names;
  }
  void PickForm(const std::string& form) { window().cmbForms.Choose(window().cmbForms.Find(form)); }

  testing_util::TempFolder folder_{"designer-tabs"};
  testing_util::TempFolder addin_{"designer-tabs-addin"};
  ScriptedPlatform platform_;
  MemorySettingsStore settings_;
  SessionOptions options_;
  std::unique_ptr<Session> session_;
};

// ---- "&Forms"

TEST_F(DesignerTabsTest, ActivationTicksEveryFormAndMdiForm) {
  EXPECT_EQ(Entries(window().lstForms), (Names{"frmMain", "frmB", "frmC", "mdiD", "frmE"}));
  EXPECT_EQ(TickedForms(window()), (Names{"frmMain", "frmB", "frmC", "mdiD", "frmE"}));
}

TEST_F(DesignerTabsTest, NoFormTickedMakesEveryCommandDoNothing) {
  TickOnly({});
  window().cmbScaleMode.Choose(7);
  window().cmbStartUpPos.Choose(3);
  window().cmbBorderForm.Choose(5);
  window().cmbWndState.Choose(2);
  for (int i = 0; i < 6; ++i) window().cmdChange(i).Click();
  for (int i = 0; i < 2; ++i) window().cmdTaskBar(i).Click();
  for (int i = 0; i < 4; ++i) window().cmdTrueFalse(i).Click();
  EXPECT_THAT(ChangedFiles(), IsEmpty());
}

TEST_F(DesignerTabsTest, NoEntryChosenMakesTheListRowsDoNothing) {
  for (int i = 2; i < 6; ++i) window().cmdChange(i).Click();
  EXPECT_THAT(ChangedFiles(), IsEmpty());
}

struct ListRowCase {
  const char* name;
  ComboBox FormsTab::*list;
  const char* entry;
  int button;
  const char* line;
};

const ListRowCase kListRows[] = {
    {"centimeter", &FormsTab::cmbScaleMode, "Centimeter", 2, "ScaleMode       =   7  'Centimeter"},
    {"windows_default", &FormsTab::cmbStartUpPos, "Windows Default", 3,
     "StartUpPosition =   3  'Windows Default"},
    {"sizable_toolwindow", &FormsTab::cmbBorderForm, "Sizable ToolWindow", 4,
     "BorderStyle     =   5  'Sizable ToolWindow"},
    {"minimized", &FormsTab::cmbWndState, "Minimized", 5, "WindowState     =   1  'Minimized"},
};

class ListRowTest : public DesignerTabsTest, public ::testing::WithParamInterface<ListRowCase> {};

TEST_P(ListRowTest, WritesTheEntrysPositionOnTheTickedForms) {
  TickOnly({"frmB", "frmE"});
  ComboBox& list = window().*GetParam().list;
  list.Choose(list.Find(GetParam().entry));
  window().cmdChange(GetParam().button).Click();
  EXPECT_THAT(ChangedFiles(), ElementsAre("frmB.frm", "frmE.frm")) << "two of five, in order";
  EXPECT_THAT(Saved("frmE"), HasSubstr(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(Rows, ListRowTest, ::testing::ValuesIn(kListRows), RowName());

TEST_F(DesignerTabsTest, AnMdiFormWithoutThePropertyIsSkippedAndTheOthersServed) {
  TickOnly({"frmC", "mdiD", "frmE"});
  window().cmdTaskBar(1).Click();
  window().cmdTrueFalse(0).Click();
  EXPECT_THAT(ChangedFiles(), ElementsAre("frmC.frm", "frmE.frm"));
  EXPECT_THAT(Saved("frmC"), HasSubstr("ShowInTaskbar   =   0   'False"));
  EXPECT_THAT(Saved("frmE"), HasSubstr("WhatsThisButton =   -1  'True"));
  window().cmdTrueFalse(2).Click();
  EXPECT_THAT(Saved("mdiD"), HasSubstr("WhatsThisHelp   =   -1  'True"));
  EXPECT_THAT(Errors(), IsEmpty());
}

TEST_F(DesignerTabsTest, TheInitialBackColourIsTheButtonFace) {
  TickOnly({"frmB"});
  window().cmdChange(1).Click();
  EXPECT_THAT(ChangedFiles(), IsEmpty()) << "&H8000000F& is a form's default, left unwritten";
  window().pctForms(1).Click();  // the dialog is cancelled: black, its own start colour
  window().cmdChange(1).Click();
  EXPECT_THAT(Saved("frmB"), HasSubstr("BackColor       =   &H00000000&"));
}

TEST_F(DesignerTabsTest, TheColourDialogsAnswerBecomesTheBackColour) {
  TickOnly({"frmB"});
  Answer("&HC0FFC0&");
  window().pctForms(1).Click();
  EXPECT_EQ(window().pctForms(1).BackColor(), host::Color{0xC0FFC0});
  window().cmdChange(1).Click();
  EXPECT_THAT(Saved("frmB"), HasSubstr("BackColor       =   &H00C0FFC0&"));
}

TEST_F(DesignerTabsTest, AColourNoFormCanHoldShowsAnErrorAndKeepsThePicked) {
  Answer("&HFF00&");
  window().pctForms(1).Click();
  Answer("&H01000002&");  // a palette index, not a colour
  window().pctForms(1).Click();
  ExpectOneError("Error: &H01000002& is not a colour a form can hold");
  EXPECT_EQ(window().pctForms(1).BackColor(), host::Color{0xFF00});
  window().pctForms(1).Click();  // cancelled: the dialog reports the colour before the refusal
  EXPECT_EQ(window().pctForms(1).BackColor(), host::Color{0xFF00});
}

TEST_F(DesignerTabsTest, TheIconGoesIntoTheSideFileAndTheEmptyPictureClearsIt) {
  const std::string icon = std::string("\0\0\1\0\1\0", 6) + std::string(8, '\0') +
                           std::string("\4\0\0\0\26\0\0\0", 8) + "ICON";
  WriteBytes(folder_.path() / "app.ico", icon);
  TickOnly({"frmB"});
  Answer((folder_.path() / "app.ico").string());
  window().pctForms(0).Click();
  EXPECT_EQ(window().pctForms(0).Picture().bytes, icon);
  EXPECT_THAT(platform_.CallsOf("OpenFileDialog")[0].detail,
              HasSubstr("Select an icon: Icon file (*.ico)|*.ico"));
  window().cmdChange(0).Click();
  EXPECT_THAT(Saved("frmB"), HasSubstr("Icon            =   \"frmB.frx\":0000"));
  EXPECT_THAT(ChangedFiles(), ElementsAre("frmB.frm", "frmB.frx"));
  session_->Finish();
  EXPECT_TRUE(fs::exists(folder_.path() / "frmB.frx"));

  session_ = std::make_unique<Session>(options_);
  TickOnly({"frmB"});
  Answer("");
  window().pctForms(0).Click();
  window().cmdChange(0).Click();
  EXPECT_EQ(Saved("frmB"), FormFile("frmB", {"   Caption         =   \"B\""}));
}

TEST_F(DesignerTabsTest, AFileThatIsNoIconShowsAnErrorAndKeepsThePicture) {
  WriteBytes(folder_.path() / "notes.ico", "not an icon");
  Answer((folder_.path() / "notes.ico").string());
  window().pctForms(0).Click();
  ExpectOneError("Error: ");
  EXPECT_THAT(Errors()[0].detail, HasSubstr("notes.ico: not an icon file"));
  EXPECT_EQ(window().pctForms(0).Picture(), host::Picture{});
}

// ---- "&Controls"

TEST_F(DesignerTabsTest, PickingAFormListsItsControls) {
  EXPECT_EQ(Entries(window().cmbForms), (Names{"frmMain", "frmB", "frmC", "mdiD", "frmE"}));
  PickForm("frmMain");
  EXPECT_EQ(Entries(window().lstControls), (Names{"lblName", "Text1", "Text10", "linRule"}));
}

TEST_F(DesignerTabsTest, DeleteRemovesTheControlItsCodeAndItsEntry) {
  PickForm("frmMain");
  window().lstControls.Choose(1);
  window().cmdDelControl.Click();
  EXPECT_EQ(Entries(window().lstControls), (Names{"lblName", "Text10", "linRule"}));
  EXPECT_THAT(Saved("frmMain"), ::testing::Not(HasSubstr("Text1_Change")));
  EXPECT_THAT(Saved("frmMain"), ::testing::Not(HasSubstr("TextBox Text1 ")));
}

TEST_F(DesignerTabsTest, DeletingAnArrayElementTakesTheArrayButOnlyTheChosenEntry) {
  PickForm("frmC");
  EXPECT_EQ(Entries(window().lstControls), (Names{"optPick", "optPick"}));
  window().lstControls.Choose(1);
  window().cmdDelControl.Click();
  EXPECT_EQ(Entries(window().lstControls), (Names{"optPick"}));
  EXPECT_THAT(Saved("frmC"), ::testing::Not(HasSubstr("optPick")));
  window().lstControls.Choose(0);
  window().cmdDelControl.Click();  // the entry left over names a control that is gone
  ExpectOneError("Error: frmC has no control named optPick");
  PickForm("frmC");
  EXPECT_THAT(Entries(window().lstControls), IsEmpty());
}

TEST_F(DesignerTabsTest, RenameShowsTheNewNameInTheChosenEntry) {
  PickForm("frmMain");
  window().lstControls.Choose(1);
  window().txtNewNameControl.SetText("txtName");
  window().cmdRenControl.Click();
  EXPECT_EQ(window().lstControls.List(1), "txtName");
  EXPECT_THAT(Saved("frmMain"), HasSubstr("Private Sub txtName_Change()\r\n"
                                          "    Text10.Text = txtName.Text"));
}

struct RenameRefusalCase {
  const char* name;
  const char* new_name;
  const char* message;  // "" when nothing is shown
};

const RenameRefusalCase kRenameRefusals[] = {
    {"empty_does_nothing", "", ""},
    {"taken", "Text10", "Error: a control named Text10 already exists on frmMain"},
};

class RenameRefusalTest : public DesignerTabsTest,
                          public ::testing::WithParamInterface<RenameRefusalCase> {};

TEST_P(RenameRefusalTest, ChangesNothing) {
  PickForm("frmMain");
  window().lstControls.Choose(1);
  window().txtNewNameControl.SetText(GetParam().new_name);
  window().cmdRenControl.Click();
  EXPECT_THAT(ChangedFiles(), IsEmpty());
  EXPECT_EQ(window().lstControls.List(1), "Text1");
  if (std::string(GetParam().message).empty()) {
    EXPECT_THAT(Errors(), IsEmpty());
  } else {
    ExpectOneError(GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(Names, RenameRefusalTest, ::testing::ValuesIn(kRenameRefusals), RowName());

TEST_F(DesignerTabsTest, NoControlChosenDoesNothing) {
  PickForm("frmMain");
  window().txtNewNameControl.SetText("txtName");
  window().cmdRenControl.Click();
  window().cmdDelControl.Click();
  EXPECT_THAT(ChangedFiles(), IsEmpty());
  EXPECT_THAT(Errors(), IsEmpty());
}

// ---- The tab order lists

TEST_F(DesignerTabsTest, ReadListsTheLabelAtItsIndexAndNeitherTheLine) {
  window().cmdGetTab.Click();
  EXPECT_THAT(Entries(window().lstTabOrder), IsEmpty()) << "no form chosen: nothing read";
  PickForm("frmMain");
  window().cmdGetTab.Click();
  EXPECT_EQ(Entries(window().lstTabOrder), (Names{"lblName", "Text1", "Text10"}));
  EXPECT_THAT(Entries(window().lstTabStop), IsEmpty());
}

TEST_F(DesignerTabsTest, MovesBetweenTheListsAndUpAndDown) {
  PickForm("frmMain");
  window().cmdGetTab.Click();
  window().cmdTab(1).Click();  // >>
  EXPECT_THAT(Entries(window().lstTabOrder), IsEmpty());
  EXPECT_EQ(Entries(window().lstTabStop), (Names{"Text10", "Text1", "lblName"}));
  window().cmdTab(3).Click();  // <<
  EXPECT_EQ(Entries(window().lstTabOrder), (Names{"lblName", "Text1", "Text10"}))
      << "<< reverses again";
  window().cmdTab(0).Click();  // > with nothing chosen
  EXPECT_THAT(Entries(window().lstTabStop), IsEmpty());
  window().lstTabOrder.Choose(0);
  window().cmdTabUpDown(0).Click();  // up on the first
  window().cmdTabUpDown(1).Click();  // down
  EXPECT_EQ(Entries(window().lstTabOrder), (Names{"Text1", "lblName", "Text10"}));
  EXPECT_EQ(window().lstTabOrder.ListIndex(), 1);
  window().cmdTabUpDown(1).Click();
  window().cmdTabUpDown(1).Click();  // down on the last
  EXPECT_EQ(Entries(window().lstTabOrder), (Names{"Text1", "Text10", "lblName"}));
  EXPECT_EQ(window().lstTabOrder.ListIndex(), 2);
  window().lstTabOrder.Choose(0);
  window().cmdTab(0).Click();  // > Text1
  window().cmdSaveTab.Click();
  const std::string saved = Saved("frmMain");
  EXPECT_THAT(saved, HasSubstr("Begin VB.TextBox Text1 \r\n      TabIndex        =   1\r\n"
                               "      TabStop         =   0   'False\r\n"))
      << "switched off, keeping its index";
  EXPECT_THAT(saved, HasSubstr("Begin VB.TextBox Text10 \r\n   End"))
      << "tab index 0 is left unwritten";
  EXPECT_THAT(saved, HasSubstr("Caption         =   \"Name:\"\r\n      TabIndex        =   1\r\n"));
}

TEST_F(DesignerTabsTest, SavingListsOfAnotherFormShowsAnErrorAndChangesNothing) {
  PickForm("frmMain");
  window().cmdGetTab.Click();
  PickForm("frmB");
  window().cmdSaveTab.Click();
  EXPECT_THAT(ChangedFiles(), IsEmpty());
  ExpectOneError("Error: the form has no control lblName");
}

}  // namespace
}  // namespace marquill::shell

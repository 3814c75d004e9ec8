#include "shell/window/frm_utility.h"

#include <gtest/gtest.h>

#include <set>

#include "addin_fixture.h"
#include "host/files/file_io.h"
#include "host/support/named_rows.h"
#include "shell/addin_shared.h"
#include "shell/resources/resources.h"

namespace marquill::shell {
namespace {

using host::ComponentType;
using testing_util::AddinFixture;

std::vector<std::string> Entries(const ListControl& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.ListCount(); ++i) {
    entries.push_back(list.List(i) + ":" + std::to_string(list.ItemData(i)));
  }
  return entries;
}

class WindowTest : public AddinFixture {
 protected:
  WindowTest()
      : AddinFixture({
            {"modMain", ComponentType::kStdModule, {}},
            {"frmMain", ComponentType::kVBForm, {}},
            {"Resources", ComponentType::kResFile, {}},
            {"clsCounter", ComponentType::kClassModule, {}},
            {"ctlGauge", ComponentType::kUserControl, {}},
            {"mdiMain", ComponentType::kMDIForm, {}},
            {"pagSetup", ComponentType::kPropPage, {}},
        }) {}
};

TEST_F(WindowTest, EveryControlIsFoundByItsNameAndNoNameIsGivenTwice) {
  frmUtility& window = OpenWindow();
  std::set<std::string> seen;
  for (Control* control : window.AllControls()) {
    EXPECT_TRUE(seen.insert(control->DisplayName()).second) << control->DisplayName();
    EXPECT_EQ(window.FindControl(control->Name(), control->Index()), control);
    EXPECT_LT(control->Page(), window.SSTab1.Tabs());
  }
  EXPECT_EQ(window.FindControl("cmdNope"), nullptr);
  EXPECT_EQ(window.FindControl("optWhere"), nullptr);  // an array is named by its elements
  EXPECT_TRUE(window.IsControlArray("optWhere"));
  EXPECT_FALSE(window.IsControlArray("txtSplit"));
}

TEST_F(WindowTest, StartsWithTheDesignValuesTheCommandsRelyOn) {
  frmUtility& window = OpenWindow();
  EXPECT_EQ(window.Caption(), "Marquill");
  EXPECT_EQ(window.SSTab1.TabCaption(2), "C&ode && Shortcuts");
  EXPECT_TRUE(window.optWhere(0).Value());
  EXPECT_EQ(window.chkDelLines.Value(), 1);
  EXPECT_EQ(window.txtSplit.Text(), "80");
  EXPECT_EQ(window.txtIndent.Text(), "4");
  EXPECT_FALSE(window.cmdShortcut(2).Enabled());
  EXPECT_EQ(window.txtErrLabel.Text(), "err_label");
  EXPECT_EQ(window.cmbWhereErr.ListCount(), 2);
  EXPECT_EQ(window.cmbWhereErr.ListIndex(), -1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(window.optError(i).Value());
  EXPECT_FALSE(window.cmdExportHTML.Enabled());
  EXPECT_FALSE(window.cmdRegSrv(0).Enabled());
  EXPECT_FALSE(window.cmdRegSrv(1).Enabled());
  EXPECT_TRUE(window.cmdVBAddin(0).Enabled());
  EXPECT_FALSE(window.cmdVBAddin(1).Enabled());
  EXPECT_FALSE(window.cmdVBAddin(2).Enabled());
  EXPECT_EQ(window.chkReport.Indexes(), (std::vector<int>{0, 1, 2, 5, 6}));
  EXPECT_EQ(window.cmbScaleMode.List(7), "Centimeter");
  EXPECT_EQ(window.cmbBorderForm.List(5), "Sizable ToolWindow");
  EXPECT_EQ(window.picLogo.Picture().bytes, FaceBitmap(kFaceLogo));
}

TEST_F(WindowTest, MultiLineFieldsHaveTheScrollBarsAndFontsTheirTabsGiveThem) {
  frmUtility& window = OpenWindow();
  struct Field {
    TextBox& box;
    bool vertical;
    bool horizontal;
    const char* font;
  };
  const Field fields[] = {
      {window.txtShortcut, true, false, ""},
      {window.txtCmtLine, true, false, "Courier New"},
      {window.txtCommentFormat, true, true, "Courier New"},
      {window.txtErrHandler, true, true, ""},
  };
  for (const Field& field : fields) {
    SCOPED_TRACE(field.box.Name());
    EXPECT_TRUE(field.box.MultiLine());
    EXPECT_EQ(field.box.VerticalScrollBar(), field.vertical);
    EXPECT_EQ(field.box.HorizontalScrollBar(), field.horizontal);
    EXPECT_EQ(field.box.FontName(), field.font);
  }
  EXPECT_FALSE(window.txtErrLabel.VerticalScrollBar());
}

struct TabCase {
  const char* name;
  const char* stored;
  int expected;
};

class StoredTabTest : public WindowTest, public testing::WithParamInterface<TabCase> {};

TEST_P(StoredTabTest, OpensOnTheTabTheSettingsSay) {
  if (*GetParam().stored != '\0') settings_.SaveRegString(kSettingsKey, "Tab", GetParam().stored);
  EXPECT_EQ(OpenWindow().SSTab1.Tab(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, StoredTabTest,
                         testing::Values(TabCase{"FirstStartOpensTheStartTab", "", 7},
                                         TabCase{"StoredTwoOpensCodeAndShortcuts", "2", 2},
                                         TabCase{"TextWithoutANumberOpensTabZero", "x", 0},
                                         TabCase{"LeadingNumberCounts", "3abc", 3},
                                         TabCase{"HalvesRoundToEven", "2.5", 2},
                                         TabCase{"HalvesRoundToEvenUpwards", "3.5", 4},
                                         TabCase{"ATabTheStripLacksOpensTheStartTab", "9", 7},
                                         TabCase{"ANegativeTabOpensTheStartTab", "-1", 7}),
                         host::test::RowName());

TEST_F(WindowTest, ThePositionIsRestoredOnlyWhereOneWasSaved) {
  frmUtility& fresh = OpenWindow();
  EXPECT_EQ(fresh.Top(), frmUtility::kDesignTop);
  EXPECT_EQ(fresh.Left(), frmUtility::kDesignLeft);
  addin_->UnloadMainWindow();

  settings_.Sections().clear();
  settings_.SaveRegString(kSettingsKey, "Top", "480");
  frmUtility& moved = OpenWindow();
  EXPECT_EQ(moved.Top(), 480);
  EXPECT_EQ(moved.Left(), frmUtility::kDesignLeft);
}

TEST_F(WindowTest, UnloadSavesTabAndPositionAsDecimalText) {
  frmUtility& window = OpenWindow();
  window.SSTab1.SetTab(5);
  window.Move(1234.5, 60);
  addin_->UnloadMainWindow();
  EXPECT_EQ(settings_.GetRegString(kSettingsKey, "Tab"), "5");
  EXPECT_EQ(settings_.GetRegString(kSettingsKey, "Top"), "1234.5");
  EXPECT_EQ(settings_.GetRegString(kSettingsKey, "Left"), "60");
  frmUtility& again = OpenWindow();
  EXPECT_EQ(again.SSTab1.Tab(), 5);
  EXPECT_EQ(again.Top(), 1234.5);
}

TEST_F(WindowTest, TheFirstActivationListsComponentsByTypeInProjectOrder) {
  frmUtility& window = OpenWindow();
  EXPECT_EQ(Entries(window.lstForms), (std::vector<std::string>{"frmMain:0", "mdiMain:0"}));
  EXPECT_TRUE(window.lstForms.Selected(0));
  EXPECT_TRUE(window.lstForms.Selected(1));
  EXPECT_EQ(Entries(window.cmbForms),
            (std::vector<std::string>{"frmMain:5", "ctlGauge:8", "mdiMain:6"}));
  std::vector<std::string> all = {"modMain:1", "frmMain:5", "clsCounter:2", "ctlGauge:8",
                                  "mdiMain:6"};
  EXPECT_EQ(Entries(window.cmbComponents), all);
  EXPECT_EQ(Entries(window.cmbCmtModules), all);
  EXPECT_TRUE(window.ComponentListsFilled());
}

TEST_F(WindowTest, ReactivationListsNothingTwiceButResetsBothExportFolders) {
  frmUtility& window = OpenWindow();
  EXPECT_EQ(window.txtPathHTML.Text(), addin_folder_.Folder());
  EXPECT_EQ(window.txtHTMLReport(1).Text(), addin_folder_.Folder());
  window.txtPathHTML.SetText("/elsewhere/");
  window.txtHTMLReport(1).SetText("/reports/");
  Project().AddComponent("modLater", ComponentType::kStdModule);

  window.Activate();
  EXPECT_EQ(window.cmbComponents.ListCount(), 5);  // the new module shows after a reopening
  EXPECT_EQ(window.lstForms.ListCount(), 2);
  EXPECT_EQ(window.txtPathHTML.Text(), addin_folder_.Folder());
  EXPECT_EQ(window.txtHTMLReport(1).Text(), addin_folder_.Folder());

  addin_->UnloadMainWindow();
  EXPECT_EQ(OpenWindow().cmbComponents.ListCount(), 6);
}

TEST_F(WindowTest, TwoFormsAndAClassAreListedAsTheUserExpects) {
  vbe_ = host::test::MakeVbe({{"frmA", ComponentType::kVBForm, {}},
                              {"Class1", ComponentType::kClassModule, {}},
                              {"frmB", ComponentType::kVBForm, {}}});
  frmUtility& window = OpenWindow();
  EXPECT_EQ(Entries(window.lstForms), (std::vector<std::string>{"frmA:0", "frmB:0"}));
  EXPECT_TRUE(window.lstForms.Selected(0) && window.lstForms.Selected(1));
  EXPECT_EQ(Entries(window.cmbComponents),
            (std::vector<std::string>{"frmA:5", "Class1:2", "frmB:5"}));
}

TEST_F(WindowTest, WithoutAnActiveProjectTheListsWaitForALaterActivation) {
  host::MemoryProject* project = &Project();
  vbe_->SetActiveProject(nullptr);
  frmUtility& window = OpenWindow();
  EXPECT_EQ(window.cmbComponents.ListCount(), 0);
  EXPECT_FALSE(window.ComponentListsFilled());
  vbe_->SetActiveProject(project);
  window.Activate();
  EXPECT_EQ(window.cmbComponents.ListCount(), 5);
}

TEST_F(WindowTest, TheShortcutListShowsTheCachedNamesInSlotOrder) {
  ConnectAddin();
  ShortcutCache& cache = addin_->Shared().shortcuts;
  cache.names[0] = "Header";
  cache.names[1] = "Loop";
  cache.names[3] = "Tail";  // an empty slot before it is left out
  frmUtility& window = OpenWindow();
  EXPECT_EQ(Entries(window.lstShortcuts),
            (std::vector<std::string>{"Header:0", "Loop:0", "Tail:0"}));
}

TEST_F(WindowTest, LoadOpensTheDatabaseBeforeTheCommentSettingsAndUnloadReleasesIt) {
  ConnectAddin();
  // Load steps of other tabs run in their place: keyword tables first, comment settings last.
  std::vector<std::string> order;
  auto window = std::make_unique<frmUtility>(
      WindowContext{platform_, settings_, addin_->Shared(), addin_folder_.Folder()});
  window->OnLoad(LoadStep::kCommentSettings, [&] {
    order.push_back(addin_->Shared().database.IsOpen() ? "comments, open" : "comments, closed");
  });
  window->OnLoad(LoadStep::kKeywordTables, [&] {
    order.push_back(window->picLogo.Picture().bytes.empty() ? "keywords, no logo" : "keywords");
  });
  window->Load();
  EXPECT_EQ(order, (std::vector<std::string>{"keywords, no logo", "comments, open"}));
  window->Unload();
  EXPECT_FALSE(addin_->Shared().database.HasObjects());
}

TEST_F(WindowTest, AnUnopenableDatabaseIsReportedAndTheWindowStillOpens) {
  ConnectAddin();
  test::WriteBytes(addin_folder_.path() / "Marquill.mdb", "not a database");
  frmUtility& window = OpenWindow();
  EXPECT_TRUE(window.Visible());
  ASSERT_FALSE(MsgBoxes().empty());
  EXPECT_EQ(MsgBoxes().back(), "Error: Error with Marquill.mdb !");
}

TEST_F(WindowTest, HelpInstallsThePageOnFirstUseAndOpensIt) {
  frmUtility& window = OpenWindow();
  std::string page = addin_folder_.Folder() + "help/index.htm";
  window.KeyDown(113, 0);  // F2: nothing
  EXPECT_TRUE(platform_.CallsOf("ShellOpen").empty());
  window.KeyDown(kKeyF1, 0);
  EXPECT_EQ(host::ReadWholeFile(page).value_or(""), HelpPage());

  host::WriteFileAtomically(page, "edited by the user");
  window.cmdHelp.Click();
  EXPECT_EQ(host::ReadWholeFile(page).value_or(""), "edited by the user");  // never overwritten
  auto opened = platform_.CallsOf("ShellOpen");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].detail, page);
  EXPECT_EQ(opened[1].detail, page);
}

}  // namespace
}  // namespace marquill::shell

#include "shell/window/export_tab_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "addin_fixture.h"
#include "export/project_report.h"
#include "host/support/named_rows.h"
#include "shell/window/err_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

namespace fs = std::filesystem;
using host::ComponentType;
using host::test::RowName;
using ::marquill::test::Crlf;
using testing_util::TempFolder;

const std::vector<std::string> kModA = {"Option Explicit",
                                        "Sub A(ByVal x As Long)",
                                        "    If x < 1 Then x = 1 ' low",
                                        "End Sub",
                                        "Property Get P() As Long",
                                        "End Property",
                                        "Property Let P(v As Long)",
                                        "End Property"};

class ExportTabTest : public testing_util::AddinFixture {
 protected:
  ExportTabTest()
      : AddinFixture(
            {{"modA", ComponentType::kStdModule, kModA}, {"Res", ComponentType::kResFile, {}}}) {}

  frmUtility& Pick(const std::string& member = "") {
    frmUtility& window = OpenWindow();
    window.cmbComponents.Choose(window.cmbComponents.Find("modA"));
    window.cmbWhereErr.Choose(member.empty() ? kApplyToComponent : kApplyToMember);
    if (!member.empty()) window.cmbMembers.Choose(window.cmbMembers.Find(member));
    window.txtPathHTML.SetText(out_.Folder());
    window.txtFileHTML.SetText("a.htm");
    return window;
  }
  std::vector<std::string> Errors() const {
    std::vector<std::string> errors;
    for (const PlatformCall& call : platform_.CallsOf("MsgBox")) {
      if (call.detail.starts_with("Error: ")) errors.push_back(call.detail.substr(7));
    }
    return errors;
  }
  // Every file in the output folder, temporaries included.
  std::vector<std::string> FilesOut() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(out_.path()))
      names.push_back(entry.path().filename().string());
    return names;
  }

  TempFolder out_{"export"};
};

struct ExportRow {
  const char* name;
  std::string member;
  bool colors;
  std::string code;
};

class ExportScopes : public ExportTabTest, public ::testing::WithParamInterface<ExportRow> {};

TEST_P(ExportScopes, WritesThePageOfTheScope) {
  frmUtility& window = Pick(GetParam().member);
  window.chkColors.SetValue(GetParam().colors ? 1 : 0);
  window.cmdExportHTML.Click();
  EXPECT_EQ(test::ReadBytes(out_.path() / "a.htm"),
            exporter::HtmlPage(GetParam().code, GetParam().colors, exporter::BuildKeywordTables()));
  EXPECT_TRUE(Errors().empty());
}

const ExportRow kExportRows[] = {
    ExportRow{"WholeModulePlain", "", false, Crlf(kModA)},
    ExportRow{"WholeModuleColoured", "", true, Crlf(kModA)},
    ExportRow{"Method", "A", true,
              Crlf({"Sub A(ByVal x As Long)", "    If x < 1 Then x = 1 ' low", "End Sub"})},
    ExportRow{"PropertyGetThenLet", "P", false,
              Crlf({"Property Get P() As Long", "End Property", "Property Let P(v As Long)",
                    "End Property"})}};

INSTANTIATE_TEST_SUITE_P(Scopes, ExportScopes, ::testing::ValuesIn(kExportRows), RowName());

TEST_F(ExportTabTest, ColouredPageEscapesAndColours) {
  frmUtility& window = Pick();
  window.chkColors.SetValue(1);
  window.cmdExportHTML.Click();
  const std::string page = test::ReadBytes(out_.path() / "a.htm");
  EXPECT_NE(page.find("x &lt; 1 <span class=\"keyword\">Then</span>"), std::string::npos) << page;
  EXPECT_NE(page.find("<span class=\"comment\">' low</span>"), std::string::npos) << page;
}

TEST_F(ExportTabTest, KeywordListsAreBuiltAtLoad) {
  frmUtility& window = OpenWindow();
  EXPECT_EQ(KeywordTablesOf(window).code.size(), 83u);
  EXPECT_EQ(KeywordTablesOf(window).types.size(), 25u);
}

TEST_F(ExportTabTest, NoComponentPickedWritesNothing) {
  frmUtility& window = OpenWindow();
  window.txtPathHTML.SetText(out_.Folder());
  window.txtFileHTML.SetText("a.htm");
  window.cmdExportHTML.Click();
  EXPECT_TRUE(FilesOut().empty());
  EXPECT_TRUE(Errors().empty());
}

struct BadOutputRow {
  const char* name;
  std::function<void(frmUtility&, const TempFolder&)> place;
};

class BadOutput : public ExportTabTest, public ::testing::WithParamInterface<BadOutputRow> {};

TEST_P(BadOutput, ShowsAnErrorAndLeavesNoFile) {
  frmUtility& window = Pick();
  GetParam().place(window, out_);
  window.cmdExportHTML.Click();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_TRUE(Errors()[0].starts_with("Cannot write ")) << Errors()[0];
  for (const std::string& name : FilesOut()) EXPECT_EQ(name, "sub") << "left behind";
}

const BadOutputRow kBadOutputRows[] = {
    BadOutputRow{"FolderMissing",
                 [](frmUtility& w, const TempFolder& out) {
                   w.txtPathHTML.SetText(out.Folder() + "missing/");
                 }},
    BadOutputRow{"PathIsAFolder",
                 [](frmUtility& w, const TempFolder& out) {
                   fs::create_directory(out.path() / "sub");
                   w.txtFileHTML.SetText("sub");
                 }},
    BadOutputRow{"EmptyFileName",
                 [](frmUtility& w, const TempFolder&) { w.txtFileHTML.SetText(""); }}};

INSTANTIATE_TEST_SUITE_P(Outputs, BadOutput, ::testing::ValuesIn(kBadOutputRows), RowName());

TEST_F(ExportTabTest, UnwritableFolderShowsAnError) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  frmUtility& window = Pick();
  fs::permissions(out_.path(), fs::perms::owner_read | fs::perms::owner_exec);
  window.cmdExportHTML.Click();
  fs::permissions(out_.path(), fs::perms::owner_all);
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_TRUE(FilesOut().empty());
}

TEST_F(ExportTabTest, ComponentGoneSincePickedShowsAnError) {
  frmUtility& window = Pick();
  Project().RemoveComponent("modA");
  window.cmdExportHTML.Click();
  EXPECT_EQ(Errors(), std::vector<std::string>{"The project has no component modA."});
  EXPECT_TRUE(FilesOut().empty());
}

TEST_F(ExportTabTest, MemberGoneSincePickedShowsAnError) {
  frmUtility& window = Pick("A");
  Project().ComponentNamed("modA").Code()->DeleteLines(2, 3);
  window.cmdExportHTML.Click();
  EXPECT_EQ(Errors(), std::vector<std::string>{"modA has no member A."});
  EXPECT_TRUE(FilesOut().empty());
}

struct PathRow {
  const char* name;
  std::string typed;
  std::string shown;
};

class PathField : public ExportTabTest, public ::testing::WithParamInterface<PathRow> {};

TEST_P(PathField, EndsInTheSeparator) {
  frmUtility& window = OpenWindow();
  window.txtPathHTML.SetText(GetParam().typed);
  EXPECT_EQ(window.txtPathHTML.Text(), GetParam().shown);
}

const PathRow kPathRows[] = {PathRow{"Appended", "/tmp/x", "/tmp/x/"},
                             PathRow{"KeptWhenThere", "/tmp/x/", "/tmp/x/"},
                             PathRow{"EmptiedBecomesSeparator", "", "/"}};

INSTANTIATE_TEST_SUITE_P(Typing, PathField, ::testing::ValuesIn(kPathRows), RowName());

TEST_F(ExportTabTest, FolderPickerFillsBothFolderFields) {
  frmUtility& window = OpenWindow();
  platform_.Queue({Answer::Kind::kText, "/data/pages", "test"});
  window.cmdPath.Click();
  EXPECT_EQ(window.txtPathHTML.Text(), "/data/pages/");
  platform_.Queue({Answer::Kind::kText, "/data/reports/", "test"});
  window.cmdSelHTMLRep.Click();
  EXPECT_EQ(window.txtHTMLReport(1).Text(), "/data/reports/");
  ASSERT_EQ(platform_.CallsOf("BrowseForFolder").size(), 2u);
  EXPECT_NE(platform_.CallsOf("BrowseForFolder")[0].detail.find(kFolderPickerTitle),
            std::string::npos);
}

TEST_F(ExportTabTest, CancelledPickerKeepsTheFolder) {
  frmUtility& window = OpenWindow();
  window.txtPathHTML.SetText("/kept/");
  platform_.Queue({Answer::Kind::kCancel, "", "test"});
  window.cmdPath.Click();
  EXPECT_EQ(window.txtPathHTML.Text(), "/kept/");
}

TEST_F(ExportTabTest, CreateReportReadsTheBoxesAndTheLog) {
  Project().SetFileName("/p/App.vbp");
  time_log_.Append("/p/App.logs",
                   "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-06 10:30:00\r\n");
  frmUtility& window = OpenWindow();
  window.chkReport(kReportLines).SetValue(1);
  window.chkReport(kReportLogs).SetValue(1);
  window.cmdCreateRep(kCreateReportButton).Click();
  EXPECT_EQ(window.txtReport.Text(),
            "VBMarquill- Total rows #8\r\n\r\n  + modA [ StdModule ]- rows #8\r\n"
            "  + Res [ ResFile ]- rows #0\r\n\r\n\r\n--------- Logs --------\r\n"
            "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-06 10:30:00\r\n\r\n"
            "Total: 01:30:00");
}

TEST_F(ExportTabTest, OpenReportWithoutNameSaysSo) {
  frmUtility& window = OpenWindow();
  window.txtHTMLReport(0).SetText("");
  window.cmdCreateRep(kOpenReportButton).Click();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Name of the report empty!"});
  EXPECT_TRUE(platform_.CallsOf("ShellOpen").empty());
}

TEST_F(ExportTabTest, OpenReportWritesTheBoxAsItStandsAndOpensIt) {
  frmUtility& window = OpenWindow();
  window.txtReport.SetText("edited <by hand>");
  window.txtHTMLReport(1).SetText(out_.Folder());
  window.txtHTMLReport(0).SetText("r.htm");
  window.cmdCreateRep(kOpenReportButton).Click();
  EXPECT_EQ(test::ReadBytes(out_.path() / "r.htm"), exporter::ReportPage("edited <by hand>"));
  ASSERT_EQ(platform_.CallsOf("ShellOpen").size(), 1u);
  EXPECT_EQ(platform_.CallsOf("ShellOpen")[0].detail, out_.Folder() + "r.htm");
}

TEST_F(ExportTabTest, UnwritableReportIsNotOpened) {
  frmUtility& window = OpenWindow();
  window.txtHTMLReport(1).SetText(out_.Folder() + "missing/");
  window.txtHTMLReport(0).SetText("r.htm");
  window.cmdCreateRep(kOpenReportButton).Click();
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_TRUE(platform_.CallsOf("ShellOpen").empty());
}

}  // namespace
}  // namespace marquill::shell

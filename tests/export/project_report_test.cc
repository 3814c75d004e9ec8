// The project report: its layout with each box, the controls tree, the logs section and its
// total, and the page that shows it.
#include "export/project_report.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "designer/form_files.h"
#include "host/support/named_rows.h"
#include "host/support/test_project.h"

namespace marquill::exporter {
namespace {

using host::ComponentType;
using host::test::RowName;

// A saved project of three components (one without code) and two references.
std::unique_ptr<host::MemoryProject> SavedProject() {
  auto project = host::test::MakeProject({{"modMain", ComponentType::kStdModule, {"a", "b", "c"}},
                                          {"clsX", ComponentType::kClassModule, {"x"}},
                                          {"Res", ComponentType::kResFile, {}}});
  project->SetFileName("/p/App.vbp");
  project->ComponentNamed("modMain").SetFileName("/p/modMain.bas");
  project->ComponentNamed("clsX").SetFileName("/p/clsX.cls");
  project->ComponentNamed("Res").SetFileName("/p/App.res");
  project->AddReference({"stdole", "OLE Automation", 2, 0, "/w/stdole2.tlb"});
  project->AddReference({"ADODB", "ADO <2.8>", 2, 8, "/w/msado15.dll"});
  return project;
}

const std::string kComponents =
    "  + modMain [ StdModule ]\r\n  + clsX [ ClassModule ]\r\n  + Res [ ResFile ]\r\n";

struct BoxRow {
  const char* name;
  ReportOptions options;
  std::string expected;
};

class ReportBoxes : public ::testing::TestWithParam<BoxRow> {};

TEST_P(ReportBoxes, LaysOutTheTickedSections) {
  auto project = SavedProject();
  const LogReader no_log = [](const std::string&) { return std::optional<std::string>(); };
  EXPECT_EQ(BuildReport(project.get(), GetParam().options, no_log), GetParam().expected);
}

const BoxRow kBoxRows[] = {
    BoxRow{"AllUnticked", {}, "VBMarquill\r\n\r\n" + kComponents + "\r\n\r\n"},
    BoxRow{"Lines",
           {.lines = true},
           "VBMarquill- Total rows #4\r\n\r\n  + modMain [ StdModule ]- rows #3\r\n"
           "  + clsX [ ClassModule ]- rows #1\r\n  + Res [ ResFile ]- rows #0\r\n\r\n\r\n"},
    BoxRow{"Files",
           {.files = true},
           "VBMarquill [/p/App.vbp] \r\n\r\n  + modMain [ StdModule ] - /p/modMain.bas\r\n"
           "  + clsX [ ClassModule ] - /p/clsX.cls\r\n  + Res [ ResFile ] - /p/App.res\r\n"
           "\r\n\r\n"},
    BoxRow{"References",
           {.references = true},
           "VBMarquill\r\n\r\n" + kComponents +
               "\r\n\r\nReferences\r\n  + stdole [ OLE Automation 2.0 ]\r\n"
               "  + ADODB [ ADO <2.8> 2.8 ]\r\n"},
    BoxRow{"ReferencesWithFiles",
           {.references = true, .files = true},
           "VBMarquill [/p/App.vbp] \r\n\r\n  + modMain [ StdModule ] - /p/modMain.bas\r\n"
           "  + clsX [ ClassModule ] - /p/clsX.cls\r\n  + Res [ ResFile ] - /p/App.res\r\n"
           "\r\n\r\nReferences\r\n  + stdole [ OLE Automation 2.0 ] - /w/stdole2.tlb\r\n"
           "  + ADODB [ ADO <2.8> 2.8 ] - /w/msado15.dll\r\n"},
    BoxRow{"ControlsWithoutDesigners",
           {.controls = true},
           "VBMarquill\r\n\r\n" + kComponents + "\r\n\r\n"},
    BoxRow{"LogsWithoutLog", {.logs = true}, "VBMarquill\r\n\r\n" + kComponents + "\r\n\r\n"}};

INSTANTIATE_TEST_SUITE_P(EachBoxAlone, ReportBoxes, ::testing::ValuesIn(kBoxRows), RowName());

TEST(Report, NoProjectGivesTheHeaderAlone) {
  EXPECT_EQ(BuildReport(nullptr, {.lines = true, .files = true}, nullptr), "VBMarquill");
}

TEST(Report, ControlsTreeIndentsFourSpacesPerLevel) {
  using designer::testing_util::FormFile;
  designer::testing_util::FormProject files(
      {{"frmMain",
        FormFile("frmMain", {"   Begin VB.Frame Frame1", "      Begin VB.Frame Inner",
                             "         Begin VB.CommandButton Command1", "         End",
                             "      End", "   End", "   Begin VB.TextBox Text1", "   End"})},
       {"frmEmpty", FormFile("frmEmpty", {})}});
  const std::string report = BuildReport(&files.project(), {.controls = true}, nullptr);
  EXPECT_TRUE(report.ends_with(
      "\r\n\r\n\r\nfrmMain components\r\n  + Frame1 [VB.Frame]\r\n      + Inner [VB.Frame]\r\n"
      "          + Command1 [VB.CommandButton]\r\n  + Text1 [VB.TextBox]\r\n"
      "\r\nfrmEmpty components\r\n"))
      << report;
}

struct LogRow {
  const char* name;
  std::string log;
  std::string total;
};

class ReportLogs : public ::testing::TestWithParam<LogRow> {};

TEST_P(ReportLogs, ListsTheLogAndItsTotal) {
  auto project = SavedProject();
  std::string asked;
  const LogReader reader = [&](const std::string& path) {
    asked = path;
    return std::optional<std::string>(GetParam().log);
  };
  const std::string report = BuildReport(project.get(), {.logs = true}, reader);
  EXPECT_EQ(asked, "/p/App.logs");
  std::string lines;
  for (std::size_t from = 0; from < GetParam().log.size();) {
    std::size_t end = GetParam().log.find("\r\n", from);
    lines += GetParam().log.substr(from, end - from) + "\r\n";
    from = end + 2;
  }
  EXPECT_EQ(report, "VBMarquill\r\n\r\n" + kComponents + "\r\n\r\n--------- Logs --------\r\n" +
                        lines + "\r\nTotal: " + GetParam().total);
}

std::string Span(const std::string& start, const std::string& stop) {
  return "Start at " + start + "\r\nStop  at " + stop + "\r\n";
}

const LogRow kLogRows[] = {
    LogRow{"NinetyMinutes", Span("2026-12-06 09:00:00", "2026-12-06 10:30:00"), "01:30:00"},
    LogRow{"ExactlyOneDay", Span("2026-12-06 09:00:00", "2026-12-07 09:00:00"),
           "1 day(s) 00:00:00"},
    LogRow{"OneDayAndASecond", Span("2026-12-06 09:00:00", "2026-12-07 09:00:01"),
           "1 day(s) 00:00:01"},
    LogRow{"TwentyFiveHours", Span("2026-12-06 09:00:00", "2026-12-07 10:00:00"),
           "1 day(s) 01:00:00"},
    LogRow{"UnreadableDateAddsNothing",
           Span("2026-12-06 09:00:00", "2026-12-06 09:10:00") + "Stop  at someday\r\n", "00:10:00"},
    LogRow{"EmptyLog", "", "00:00:00"}};

INSTANTIATE_TEST_SUITE_P(Totals, ReportLogs, ::testing::ValuesIn(kLogRows), RowName());

TEST(Report, NeverSavedProjectLeavesLogsOut) {
  auto project = SavedProject();
  project->SetFileName("");
  bool asked = false;
  const LogReader reader = [&](const std::string&) {
    asked = true;
    return std::optional<std::string>("Start at 2026-12-06 09:00:00\r\n");
  };
  EXPECT_EQ(BuildReport(project.get(), {.logs = true}, reader),
            "VBMarquill\r\n\r\n" + kComponents + "\r\n\r\n");
  EXPECT_FALSE(asked);
}

TEST(ReportPage, EscapesTheTextAndWrapsItInPre) {
  EXPECT_EQ(ReportPage("a <script>x</script> & b"),
            "<html><head><title>Report</title>\r\n"
            "<META NAME=\"GENERATOR\" Content=\"VB Marquill Add-In\">\r\n<body><pre>\r\n"
            "a &lt;script&gt;x&lt;/script&gt; &amp; b\r\n</pre></body></html>\r\n");
}

}  // namespace
}  // namespace marquill::exporter

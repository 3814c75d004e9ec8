// export-html and report on a copy of the sample project: the pages and the report against
// golden files, the previews that write nothing, and bad output paths.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/paths/paths.h"
#include "host/support/named_rows.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Result = test::CliResult;
using test::ReadBytes;

const fs::path kGolden = test::kSourceDir / "tests" / "export" / "golden";

// Compares with a golden file; MARQUILL_UPDATE_GOLDEN=1 rewrites it for review instead.
void ExpectGolden(const std::string& actual, const std::string& name) {
  if (std::getenv("MARQUILL_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(kGolden / name, std::ios::binary) << actual;
    return;
  }
  EXPECT_EQ(actual, ReadBytes(kGolden / name)) << "rerun with MARQUILL_UPDATE_GOLDEN=1 to update";
}

struct Case {
  const char* name;
  std::vector<std::string> args;  // "{P}" is the project, "{W}" the scratch folder
  int code;
  const char* err;     // a part of stderr, "" for none at all
  const char* golden;  // the golden file of stdout, or of {W}/out.htm when the args name it
};

const Case kCases[] = {
    {"module_coloured",
     {"export-html", "{P}", "--component", "modMain", "--colors"},
     0,
     "",
     "sample_modMain_colors.htm"},
    {"module_plain",
     {"export-html", "{P}", "--component", "modMain"},
     0,
     "",
     "sample_modMain_plain.htm"},
    {"property_to_file",
     {"export-html", "{P}", "--component", "clsCounter", "--member", "Count", "--colors", "-o",
      "{W}/out.htm"},
     0,
     "",
     "sample_property_count.htm"},
    {"report_every_box",
     {"report", "{P}", "--lines", "--controls", "--references", "--logs"},
     0,
     "",
     "sample_report.txt"},
    {"report_page",
     {"report", "{P}", "--lines", "--controls", "--html", "{W}/out.htm"},
     0,
     "",
     "sample_report.htm"},
    {"unknown_component", {"export-html", "{P}", "--component", "nope"}, 2, "named 'nope'", ""},
    {"unknown_member",
     {"export-html", "{P}", "--component", "modMain", "--member", "Nope"},
     2,
     "has no member named 'Nope'",
     ""},
    {"output_folder_missing",
     {"export-html", "{P}", "--component", "modMain", "-o", "{W}/missing/out.htm"},
     2,
     "no such folder",
     ""},
    {"output_is_a_folder",
     {"export-html", "{P}", "--component", "modMain", "-o", "{W}"},
     2,
     "is a folder",
     ""},
    {"report_page_is_a_folder", {"report", "{P}", "--html", "{W}"}, 2, "is a folder", ""},
    {"open_needs_html", {"report", "{P}", "--open"}, 2, "--open requires --html", ""},
};

class ExportCommandTest : public test::SampleProjectTest, public testing::WithParamInterface<Case> {
 protected:
  Result Run(std::vector<std::string> args) const { return RunWithPlaces(std::move(args)); }
};

TEST_P(ExportCommandTest, GivesThePageOrRefuses) {
  const Case& row = GetParam();
  const Result run = Run(row.args);
  EXPECT_EQ(run.code, row.code) << run.err;
  if (*row.err == '\0') {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_THAT(run.err, HasSubstr(row.err));
  }
  if (*row.golden != '\0') {
    const bool to_file = fs::exists(work_ / "out.htm");
    std::string text = to_file ? ReadBytes(work_ / "out.htm") : run.out;
    for (std::size_t at; (at = text.find(work_.string())) != std::string::npos;) {
      text.replace(at, work_.string().size(), "<work>");
    }
    ExpectGolden(text, row.golden);
  }
  if (row.code != 0) {
    EXPECT_FALSE(fs::exists(work_ / "out.htm"));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportCommandTest, ::testing::ValuesIn(kCases),
                         host::test::RowName());

class ExportPreviewTest : public ExportCommandTest {};

TEST_P(ExportPreviewTest, PreviewsWriteNothing) {
  const fs::path page = work_ / "out.htm";
  Result dry = Run({"export-html", "{P}", "--component", "modMain", "-o", page, "--dry-run"});
  EXPECT_EQ(dry.code, 0) << dry.err;
  const std::string named = host::DisplayPath(page);
  EXPECT_THAT(dry.out, HasSubstr("--- /dev/null\n+++ b/" + named + "\n"));
  EXPECT_THAT(dry.out, HasSubstr("+<HTML>"));
  EXPECT_FALSE(fs::exists(page));
  Result check = Run({"export-html", "{P}", "--component", "modMain", "-o", page, "--check"});
  EXPECT_EQ(check.code, 1);
  EXPECT_EQ(check.out, named + "\n");
  EXPECT_FALSE(fs::exists(page));
  ASSERT_EQ(Run({"export-html", "{P}", "--component", "modMain", "-o", page}).code, 0);
  EXPECT_EQ(Run({"export-html", "{P}", "--component", "modMain", "-o", page, "--check"}).code, 0);
  Result report = Run({"report", "{P}", "--html", page, "--open", "--dry-run"});
  EXPECT_EQ(report.code, 0) << report.err;
  EXPECT_THAT(report.out, HasSubstr("+<html><head><title>Report</title>"));
  EXPECT_THAT(ReadBytes(page), HasSubstr("<HTML>"));  // the export is still there
}

INSTANTIATE_TEST_SUITE_P(Previews, ExportPreviewTest,
                         ::testing::Values(Case{"previews", {}, 0, "", ""}), host::test::RowName());

}  // namespace
}  // namespace marquill::cli

// form-props, control and tab-order on copies of the sample project: what each writes, that the
// result loads back and passes `check`, and that refused input leaves every file as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/support/named_rows.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Result = test::CliResult;
using test::FilesIn;
using test::ReadBytes;

// Standard error without the summary line every project command ends with.
std::string WithoutSummary(const std::string& err) {
  std::istringstream lines(err);
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("form-props: ") || line.starts_with("control: ") ||
        line.starts_with("tab-order: "))
      continue;
    kept += line + "\n";
  }
  return kept;
}

struct Case {
  const char* name;
  std::vector<std::string> args;  // "{P}" is the project, "{W}" the scratch folder
  int code;
  const char* err;                   // a part of stderr, "" for none at all
  std::vector<std::string> changed;  // files written
  std::vector<std::string> written;  // texts the first changed file holds afterwards
  std::vector<std::string> info;     // texts `info` shows afterwards
};

const std::string kIcon = std::string("\0\0\1\0\1\0", 6) + std::string(8, '\0') +
                          std::string("\4\0\0\0\26\0\0\0", 8) + "ICON";

const Case kCases[] = {
    {"back_color_on_every_form",
     {"form-props", "--back-color", "&HC0FFC0&", "{P}"},
     0,
     "",
     {"frmMain.frm", "mdiMain.frm"},
     {"   BackColor       =   &H00C0FFC0&\r\n   BorderStyle     =   1  'Fixed Single"},
     {}},
    {"border_skips_the_mdi_form",
     {"form-props", "--border", "sizable toolwindow", "{P}"},
     0,
     "mdiMain.frm: skipped: mdiMain has no property BorderStyle",
     {"frmMain.frm"},
     {"BorderStyle     =   5  'Sizable ToolWindow"},
     {}},
    {"scale_mode_by_number_on_one_form",
     {"form-props", "--form", "frmMain", "--scale-mode", "7", "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"   ScaleMode       =   7  'Centimeter\r\n   ScaleWidth"},
     {}},
    {"start_up_windows_default",
     {"form-props", "--form", "frmMain", "--start-up", "Windows Default", "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"StartUpPosition =   3  'Windows Default"},
     {}},
    {"taskbar_on_removes_the_line",
     {"form-props", "--taskbar", "on", "{P}"},
     0,
     "mdiMain has no property ShowInTaskbar",
     {"frmMain.frm"},
     {"   MinButton       =   0   'False\r\n   ScaleHeight"},
     {}},
    {"whats_this_help_on_both",
     {"form-props", "--whats-this-help", "on", "{P}"},
     0,
     "",
     {"frmMain.frm", "mdiMain.frm"},
     {"WhatsThisHelp   =   -1  'True"},
     {}},
    {"icon_appended_to_the_side_file",
     {"form-props", "--form", "frmMain", "--icon", "{W}/app.ico", "{P}"},
     0,
     "",
     {"frmMain.frm", "frmMain.frx"},
     {"Icon            =   \"frmMain.frx\":048A"},
     {}},
    {"empty_icon_removes_the_property",
     {"form-props", "--no-icon", "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"   ClientWidth     =   6135\r\n   LinkTopic"},
     {}},
    {"rename_array_with_its_code",
     {"control", "rename", "--form", "frmMain", "--control", "txtField", "--new-name", "txtInput",
      "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"Private Sub txtInput_Change(Index As Integer)", "    txtInput(0).Text = \"It's a start\""},
     {"txtInput(2) [VB.TextBox]", "txtInput_Change (method)"}},
    {"rename_nested",
     {"control", "rename", "--form", "frmMain", "--control", "chkVerbose", "--new-name", "chkLoud",
      "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"If chkLoud.Value = vbChecked", "Begin VB.CheckBox chkLoud "},
     {"          chkLoud [VB.CheckBox]"}},
    {"delete_nested",
     {"control", "delete", "--form", "frmMain", "--control", "cmdOK", "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"End Sub\r\n\r\n\r\nPrivate Sub txtField_Change"},
     {"        picHolder [VB.PictureBox]\n          chkVerbose [VB.CheckBox]\n      txtField(2)"}},
    {"tab_order_rearranged",
     {"tab-order", "--form", "frmMain", "--order", "cmdOK,txtField(2)", "--no-stop", "chkVerbose",
      "{P}"},
     0,
     "",
     {"frmMain.frm"},
     {"TabIndex        =   7\r\n            TabStop         =   0   'False",
      "Begin VB.CommandButton cmdOK \r\n         Caption         =   \"OK\"\r\n         Default  "
      "       =   -1  'True\r\n         Height          =   375\r\n         Left            =   "
      "120\r\n         Top"},
     {}},
    {"check_lists_and_writes_nothing",
     {"form-props", "--taskbar", "on", "--check", "{P}"},
     1,
     "",
     {},
     {},
     {}},
    // Refused input: exit 2, nothing written.
    {"unknown_form",
     {"form-props", "--form", "frmNone", "--taskbar", "off", "{P}"},
     2,
     "no form or MDI form named 'frmNone'",
     {},
     {},
     {}},
    {"named_mdi_form_lacks_it",
     {"form-props", "--form", "mdiMain", "--border", "1", "{P}"},
     2,
     "mdiMain.frm: mdiMain has no property BorderStyle",
     {},
     {},
     {}},
    {"no_property", {"form-props", "{P}"}, 2, "", {}, {}, {}},
    {"two_properties",
     {"form-props", "--taskbar", "on", "--border", "1", "{P}"},
     2,
     "",
     {},
     {},
     {}},
    {"bad_list_entry",
     {"form-props", "--scale-mode", "Furlong", "{P}"},
     2,
     "--scale-mode wants one of \"User\" 0",
     {},
     {},
     {}},
    {"colour_not_a_colour",
     {"form-props", "--back-color", "&H1000000&", "{P}"},
     2,
     "--back-color wants a colour",
     {},
     {},
     {}},
    {"icon_missing",
     {"form-props", "--icon", "{W}/none.ico", "{P}"},
     2,
     "none.ico: no such icon",
     {},
     {},
     {}},
    {"icon_not_an_icon", {"form-props", "--icon", "{P}", "{P}"}, 2, "not an icon file", {}, {}, {}},
    {"unknown_control",
     {"control", "delete", "--form", "frmMain", "--control", "Text9", "{P}"},
     2,
     "frmMain has no control named 'Text9'",
     {},
     {},
     {}},
    {"new_name_taken",
     {"control", "rename", "--form", "frmMain", "--control", "cmdOK", "--new-name", "lblTitle",
      "{P}"},
     2,
     "frmMain.frm: a control named lblTitle already exists on frmMain",
     {},
     {},
     {}},
    {"new_name_too_long",
     {"control", "rename", "--form", "frmMain", "--control", "cmdOK", "--new-name",
      "cmdAVeryLongNameThatGoesOnPastFortyCharacters", "{P}"},
     2,
     "is too long",
     {},
     {},
     {}},
    {"new_name_not_identifier",
     {"control", "rename", "--form", "frmMain", "--control", "cmdOK", "--new-name", "cmd.OK",
      "{P}"},
     2,
     "is not a valid name",
     {},
     {},
     {}},
    {"new_name_empty",
     {"control", "rename", "--form", "frmMain", "--control", "cmdOK", "--new-name", "", "{P}"},
     2,
     "--new-name: must not be empty",
     {},
     {},
     {}},
    {"tab_order_unknown",
     {"tab-order", "--form", "frmMain", "--order", "cmdGo", "{P}"},
     2,
     "frmMain.frm: the form has no control cmdGo",
     {},
     {},
     {}},
    {"tab_order_twice",
     {"tab-order", "--form", "frmMain", "--order", "cmdOK,cmdOK", "{P}"},
     2,
     "cmdOK is named twice",
     {},
     {},
     {}},
    {"tab_order_bare_array",
     {"tab-order", "--form", "frmMain", "--order", "txtField", "{P}"},
     2,
     "txtField is a control array",
     {},
     {},
     {}},
    {"tab_order_malformed",
     {"tab-order", "--form", "frmMain", "--no-stop", "a,,b", "{P}"},
     2,
     "--no-stop: '' is not a control name",
     {},
     {},
     {}},
};

class DesignerFilesTest : public test::SampleProjectTest {
 protected:
  void SetUp() override {
    SampleProjectTest::SetUp();
    test::WriteBytes(work_ / "app.ico", kIcon);
  }
  fs::path Form() const { return work_ / "project" / "frmMain.frm"; }
};

class DesignerCommandTest : public DesignerFilesTest, public testing::WithParamInterface<Case> {
 protected:
  Result Run(std::vector<std::string> args) {
    Result result = RunWithPlaces(std::move(args));
    result.err = WithoutSummary(result.err);
    return result;
  }
};

TEST_P(DesignerCommandTest, WritesWhatItShouldAndNothingElse) {
  const Case& row = GetParam();
  const auto before = FilesIn(work_ / "project");
  const Result run = Run(row.args);
  EXPECT_EQ(run.code, row.code) << run.err;
  if (std::string(row.err).empty() && row.code == 0) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_THAT(run.err, HasSubstr(row.err));
  }
  const auto after = FilesIn(work_ / "project");
  std::vector<std::string> changed;
  for (const auto& [file, bytes] : after) {
    if (before.count(file) == 0 || before.at(file) != bytes) changed.push_back(file);
  }
  EXPECT_EQ(changed, row.changed);
  if (!row.changed.empty()) {
    for (const std::string& text : row.written)
      EXPECT_THAT(after.at(row.changed[0]), HasSubstr(text));
  }
  if (row.code != 0) return;
  const Result check = Run({"check", "{P}"});
  EXPECT_EQ(check.code, 0) << check.out << check.err;
  const Result info = Run({"info", "{P}"});
  EXPECT_EQ(info.code, 0) << info.err;
  for (const std::string& text : row.info) EXPECT_THAT(info.out, HasSubstr(text));
}

INSTANTIATE_TEST_SUITE_P(Commands, DesignerCommandTest, ::testing::ValuesIn(kCases),
                         host::test::RowName());

TEST_F(DesignerFilesTest, DryRunPrintsTheDiffAndWritesNothing) {
  const fs::path project = work_ / "project";
  for (std::vector<std::string> args :
       {std::vector<std::string>{"form-props", "--window-state", "Maximized"},
        {"control", "delete", "--form", "frmMain", "--control", "lblTitle"},
        {"tab-order", "--form", "frmMain", "--no-stop", "cmdOK"},
        {"form-props", "--form", "frmMain", "--icon", (work_ / "app.ico").string()}}) {
    const bool icon = args.size() > 3 && args[3] == "--icon";
    args.push_back("--dry-run");
    args.push_back(Vbp().string());
    const Result run = test::RunMarquill(args);
    EXPECT_EQ(run.code, 0) << run.err;
    // Diffs name files as `git apply` wants them: a/ and b/ before the path, no leading slash.
    const std::string form = Form().string().substr(1);
    EXPECT_THAT(run.out, HasSubstr("--- a/" + form + "\n+++ b/" + form + "\n"));
    if (icon) {
      // The side file is binary: named, not spilled.
      const std::string frx = (project / "frmMain.frx").string().substr(1);
      EXPECT_THAT(run.out, HasSubstr("Binary files a/" + frx + " and b/" + frx + " differ\n"));
      EXPECT_EQ(run.out.find(std::string("lt\0\0", 4)), std::string::npos);
    }
  }
  EXPECT_TRUE(Changed().empty());
}

TEST_F(DesignerFilesTest, TabOrderShowPrintsBothListsInTheOptionsSyntax) {
  const Result run = test::RunMarquill({"tab-order", "--form", "frmMain", Vbp().string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out,
            "order: lblTitle,txtField(0),txtField(1),txtField(2),fraOptions,cmdOK,picHolder,"
            "chkVerbose,ctlGauge1\nno-stop: \n");
}

TEST_F(DesignerFilesTest, ADamagedDesignerIsBadInputAndLeavesEveryFileAsItWas) {
  // The frame's End is gone: its Begin never closes.
  std::string form = ReadBytes(Form());
  const std::string frame_end = "      End\r\n   End\r\n   Begin VB.TextBox txtField";
  ASSERT_NE(form.find(frame_end), std::string::npos);
  form.replace(form.find(frame_end), frame_end.size(), "      End\r\n   Begin VB.TextBox txtField");
  test::WriteBytes(Form(), form);
  before_ = FilesIn(work_ / "project");
  const std::string project = Vbp().string();
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"form-props", "--taskbar", "on", project},
        {"control", "delete", "--form", "frmMain", "--control", "cmdOK", project},
        {"tab-order", "--form", "frmMain", "--no-stop", "cmdOK", project}}) {
    const Result run = test::RunMarquill(args);
    EXPECT_EQ(run.code, 2) << args[0];
    EXPECT_THAT(run.err, HasSubstr("marquill: " + Form().string() + ":"));
  }
  EXPECT_TRUE(Changed().empty());
}

}  // namespace
}  // namespace marquill::cli

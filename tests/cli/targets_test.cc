// The pieces under the targets of a command: how files are named in diffs, which globs exclude,
// how a component file becomes a project, how settings files read, which name a typo meant.
#include "cli/targets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/project_settings.h"
#include "host/support/named_rows.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using host::test::RowName;

class InTemporaryFolder : public testing::Test {
 protected:
  void SetUp() override {
    work_ = fs::temp_directory_path() / ("marquill-paths-" + std::to_string(getpid()));
    fs::create_directories(work_ / "sub");
    home_ = fs::current_path();
    fs::current_path(work_ / "sub");
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(work_);
  }
  fs::path work_;
  fs::path home_;
};

struct PathCase {
  const char* name;
  const char* path;  // "@" stands for the work folder
  const char* shown;
};

class DisplayPathTest : public InTemporaryFolder, public testing::WithParamInterface<PathCase> {};

TEST_P(DisplayPathTest, NamesFilesAsPatchWantsThem) {
  std::string path = GetParam().path;
  if (path.starts_with("@")) path = work_.string() + path.substr(1);
  std::string shown = GetParam().shown;
  if (shown.starts_with("@")) shown = work_.relative_path().string() + shown.substr(1);
  EXPECT_EQ(DisplayPath(path), shown);
}

const PathCase kPathCases[] = {
    {"Relative", "modMain.bas", "modMain.bas"},
    {"DotPiecesGo", "./a/../b/./modMain.bas", "b/modMain.bas"},
    {"AbsoluteInside", "@/sub/x/modMain.bas", "x/modMain.bas"},
    {"UpAndBackIn", "../sub/modMain.bas", "modMain.bas"},
    {"OutsideIsAbsoluteWithoutTheSlash", "../other/modMain.bas", "@/other/modMain.bas"},
};
INSTANTIATE_TEST_SUITE_P(Rows, DisplayPathTest, testing::ValuesIn(kPathCases), RowName());

struct ExcludeCase {
  const char* name;
  const char* relative;
  const char* glob;
  bool excluded;
};

class ExcludedTest : public testing::TestWithParam<ExcludeCase> {};

TEST_P(ExcludedTest, MatchesThePathBelowOrTheNameAlone) {
  const fs::path relative = GetParam().relative;
  EXPECT_EQ(Excluded(relative.generic_string(), relative.filename().string(), {GetParam().glob}),
            GetParam().excluded);
}

const ExcludeCase kExcludeCases[] = {
    {"NameOfAFolder", "old/legacy", "legacy", true},
    {"NameOfAFile", "app/App.vbp", "*.vbp", true},
    {"PathBelow", "old/legacy", "old/*", true},
    {"StarCrossesSlashes", "a/b/c/X.vbp", "a/*.vbp", true},
    {"OtherName", "app", "legacy", false},
    {"CaseCounts", "Legacy", "legacy", false},
    {"PartOfANameIsNotEnough", "legacy2", "legacy", false},
};
INSTANTIATE_TEST_SUITE_P(Rows, ExcludedTest, testing::ValuesIn(kExcludeCases), RowName());

struct ComponentCase {
  const char* name;
  const char* file;
  const char* listing;  // "" when the file is no component
};

class SingleComponentTest : public testing::TestWithParam<ComponentCase> {};

TEST_P(SingleComponentTest, ListsTheFileAsItsKind) {
  const fs::path file = fs::path("/vb") / GetParam().file;
  const std::string listing = GetParam().listing;
  EXPECT_EQ(IsComponentFile(file), !listing.empty());
  if (listing.empty()) return;
  EXPECT_EQ(SingleComponentProjectText(file),
            "Type=Exe\r\n" + listing + "\r\nName=\"" + file.stem().string() + "\"\r\n");
  // Beside the file, under a name no project of the folder has.
  EXPECT_EQ(SingleComponentProjectPath(file).parent_path(), fs::path("/vb"));
  EXPECT_NE(SingleComponentProjectPath(file).stem(), file.stem());
}

const ComponentCase kComponentCases[] = {
    {"Module", "modMain.bas", "Module=modMain; modMain.bas"},
    {"Class", "clsA.CLS", "Class=clsA; clsA.CLS"},
    {"Form", "frmMain.frm", "Form=frmMain.frm"},
    {"UserControl", "ctlGauge.ctl", "UserControl=ctlGauge.ctl"},
    {"PropertyPage", "pgA.pag", "PropertyPage=pgA.pag"},
    {"UserDocument", "docA.dob", "UserDocument=docA.dob"},
    {"Designer", "dsrA.dsr", "Designer=dsrA.dsr"},
    {"SideFileIsNoComponent", "frmMain.frx", ""},
    {"ProjectIsNoComponent", "A.vbp", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, SingleComponentTest, testing::ValuesIn(kComponentCases), RowName());

struct SettingsTextCase {
  const char* name;
  const char* text;
  const char* section;
  const char* key;
  const char* value;  // nullptr: the key is not set
  int line;
};

class SettingsTextTest : public testing::TestWithParam<SettingsTextCase> {};

TEST_P(SettingsTextTest, ReadsSectionsKeysAndValues) {
  const SettingSections sections = ParseSettings(GetParam().text, "x.ini");
  ProjectSettings settings;
  settings.sections = sections;
  const SettingValue* value = settings.Find(GetParam().section, GetParam().key);
  if (GetParam().value == nullptr) {
    EXPECT_EQ(value, nullptr);
    return;
  }
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->value, GetParam().value);
  EXPECT_EQ(value->line, GetParam().line);
}

const SettingsTextCase kSettingsTextCases[] = {
    {"Plain", "[indent]\nwidth = 2\n", "indent", "width", "2", 2},
    {"CrLfAndTabs", "[indent]\r\n\twidth\t=\t2\t\r\n", "indent", "width", "2", 2},
    {"NamesInAnyCase", "[Indent]\nWIDTH=2\n", "indent", "width", "2", 2},
    {"DashesDropped", "[indent]\n--width = 2\n", "indent", "width", "2", 2},
    {"QuotesDropped", "[headers]\ntemplate = \"a ; b\"\n", "headers", "template", "a ; b", 2},
    {"LaterLineWins", "[indent]\nwidth = 2\nwidth = 3\n", "indent", "width", "3", 3},
    {"CommentsSkipped", "; a\n# b\n[indent]\n;width = 2\n", "indent", "width", nullptr, 0},
    {"EmptyValue", "[split-lines]\nwidth =\n", "split-lines", "width", "", 2},
    {"OtherSection", "[indent]\nwidth = 2\n", "split-lines", "width", nullptr, 0},
};
INSTANTIATE_TEST_SUITE_P(Rows, SettingsTextTest, testing::ValuesIn(kSettingsTextCases), RowName());

TEST(ProjectSettingsTest, CommandSectionOverridesTheCommonOne) {
  ProjectSettings settings;
  settings.sections = ParseSettings(
      "[marquill]\nwidth = 3\nexclude = old\n[indent]\nwidth = 2\n[split-lines]\nwidth = 9\n",
      "x.ini");
  const auto values = settings.For("indent");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values.at("width").value, "2");
  EXPECT_EQ(values.at("exclude").value, "old");
}

TEST(SplitListTest, TakesCommasAndBlanks) {
  EXPECT_EQ(SplitList("build, old/* ,vendor\tx"),
            (std::vector<std::string>{"build", "old/*", "vendor", "x"}));
  EXPECT_TRUE(SplitList(" , ").empty());
}

struct NearestCase {
  const char* name;
  const char* word;
  const char* nearest;
};

class NearestNameTest : public testing::TestWithParam<NearestCase> {};

TEST_P(NearestNameTest, FindsWhatATypoMeant) {
  const std::vector<std::string> names = {"indent",          "info",    "join-lines", "split-lines",
                                          "delete-comments", "--width", "--check",    "--dry-run"};
  EXPECT_EQ(NearestName(GetParam().word, names), GetParam().nearest);
}

const NearestCase kNearestCases[] = {
    {"Swap", "indnet", "indent"},
    {"MissingLetter", "split-line", "split-lines"},
    {"ExtraLetter", "joinn-lines", "join-lines"},
    {"WrongLetter", "--chack", "--check"},
    {"ShortWordsNeedACloseMatch", "inf", "info"},
    {"FarFromEverything", "frobnicate", ""},
    {"TooManyEdits", "--dry", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, NearestNameTest, testing::ValuesIn(kNearestCases), RowName());

}  // namespace
}  // namespace marquill::cli

// What every command that changes files shares, through the line commands: targets of every
// kind, --check, --dry-run diffs that git apply takes, standard input, project settings, the
// summary line, and previews that write nothing anywhere. Each test works in a fresh folder that
// is also the current folder, so diffs and lists name files relative to it.
#include "cli/project_command.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/command_registry.h"
#include "cli/targets.h"
#include "host/support/named_rows.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using host::test::RowName;
using Files = std::map<std::string, std::string>;

using test::kSamples;

using test::ReadBytes;
using test::WriteBytes;

// Every regular file below `root` by its path relative to it.
Files Tree(const fs::path& root) {
  Files files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).generic_string()] = ReadBytes(entry.path());
  }
  return files;
}

// A module the indent command changes, and the same module indented (width 4).
std::string Untidy(const std::string& name, const std::string& eol = "\r\n") {
  return "Attribute VB_Name = \"" + name + "\"" + eol + "Public Sub Run" + name + "()" + eol +
         "If True Then" + eol + "Beep" + eol + "End If" + eol + "End Sub" + eol;
}
std::string Tidy(const std::string& name, const std::string& indent = "    ",
                 const std::string& eol = "\r\n") {
  return "Attribute VB_Name = \"" + name + "\"" + eol + "Public Sub Run" + name + "()" + eol +
         "If True Then" + eol + indent + "Beep" + eol + "End If" + eol + "End Sub" + eol;
}

std::string ProjectListing(const std::vector<std::string>& modules) {
  std::string text = "Type=Exe\r\n";
  for (const std::string& module : modules) {
    const std::string name = fs::path(module).stem().string();
    text += "Module=" + name + "; " + module + "\r\n";
  }
  return text;
}

using Result = test::CliResult;

class ProjectCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    // The repository root for settings lookups: nothing above the work folder counts.
    fs::create_directories(work_ / ".git");
    setenv("MARQUILL_HOME", (work_ / "addin").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (work_ / "config").c_str(), 1);
    home_ = fs::current_path();
    fs::current_path(work_);
  }
  void TearDown() override { fs::current_path(home_); }

  Result Marquill(std::vector<std::string> args, const std::string& input = "") {
    return test::RunMarquill(std::move(args), input);
  }

  // A project `folder`/`name`.vbp listing its own untidy module.
  void MakeProject(const std::string& folder, const std::string& name) {
    WriteBytes(work_ / folder / (name + ".vbp"), ProjectListing({"mod" + name + ".bas"}));
    WriteBytes(work_ / folder / ("mod" + name + ".bas"), Untidy("mod" + name));
  }

  test::TempDir scratch_{"targets"};
  fs::path work_ = scratch_.path();
  fs::path home_;
};

// --- check --------------------------------------------------------------------------------

struct CheckCase {
  const char* name;
  bool tidy;
  int code;
  const char* out;
};

class CheckTest : public ProjectCommandTest, public testing::WithParamInterface<CheckCase> {};

TEST_P(CheckTest, ListsWhatWouldChangeAndWritesNothing) {
  WriteBytes(work_ / "p" / "P.vbp", ProjectListing({"modA.bas"}));
  const std::string module = GetParam().tidy ? Tidy("modA") : Untidy("modA");
  WriteBytes(work_ / "p" / "modA.bas", module);
  const Files before = Tree(work_);
  const Result result = Marquill({"indent", "--check", "p/P.vbp"});
  EXPECT_EQ(result.code, GetParam().code) << result.err;
  EXPECT_EQ(result.out, GetParam().out);
  EXPECT_EQ(Tree(work_), before);
}

const CheckCase kCheckCases[] = {
    {"TidyProjectExitsZero", true, kExitDone, ""},
    {"UntidyProjectExitsOneAndNamesTheFile", false, kExitFailed, "p/modA.bas\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, CheckTest, testing::ValuesIn(kCheckCases), RowName());

// A real run leaves exactly the tidy module, which the check row above passes untouched.
TEST_F(ProjectCommandTest, ARealRunLeavesWhatCheckCallsTidy) {
  MakeProject("p", "A");
  ASSERT_EQ(Marquill({"indent", "--yes", "p/A.vbp"}).code, kExitDone);
  EXPECT_EQ(ReadBytes(work_ / "p" / "modA.bas"), Tidy("modA"));
}

// --- dry-run diffs apply -------------------------------------------------------------------

struct ApplyCase {
  const char* name;
  std::vector<std::string> command;
  const char* apply;  // run in a copy of the original folder, with the diff at ../changes.diff
};

class DiffAppliesTest : public ProjectCommandTest, public testing::WithParamInterface<ApplyCase> {};

TEST_P(DiffAppliesTest, AppliedToACopyGivesTheRealRunsFiles) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  // A module with LF endings next to the sample's CR LF ones: each keeps its own in the diff.
  WriteBytes(work_ / "project" / "modLf.bas", Untidy("modLf", "\n"));
  std::ofstream(work_ / "project" / "Marquill.vbp", std::ios::binary | std::ios::app)
      << "Module=modLf; modLf.bas\r\n";
  fs::create_directories(work_ / "copy");
  fs::copy(work_ / "project", work_ / "copy" / "project", fs::copy_options::recursive);

  std::vector<std::string> args = GetParam().command;
  args.push_back("--dry-run");
  args.push_back("project/Marquill.vbp");
  const Result preview = Marquill(args);
  ASSERT_EQ(preview.code, kExitDone) << preview.err;
  ASSERT_NE(preview.out, "");
  EXPECT_NE(preview.out.find("--- a/project/"), std::string::npos) << preview.out;
  WriteBytes(work_ / "changes.diff", preview.out);

  args.pop_back();
  args.pop_back();
  args.push_back("project/Marquill.vbp");
  ASSERT_EQ(Marquill(args).code, kExitDone);

  const std::string command =
      "cd '" + (work_ / "copy").string() + "' && " + GetParam().apply + " > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << GetParam().apply << " refused:\n" << preview.out;
  EXPECT_EQ(Tree(work_ / "copy" / "project"), Tree(work_ / "project"));
}

const ApplyCase kApplyCases[] = {
    {"IndentWithGitApply", {"indent", "--yes"}, "git apply ../changes.diff"},
    {"IndentWithPatch", {"indent", "--yes"}, "patch -p1 < ../changes.diff"},
    {"DeleteCommentsWithGitApply", {"delete-comments"}, "git apply ../changes.diff"},
    {"SplitLinesWithGitApply", {"split-lines", "--width", "40"}, "git apply ../changes.diff"},
};
INSTANTIATE_TEST_SUITE_P(Rows, DiffAppliesTest, testing::ValuesIn(kApplyCases), RowName());

// --- targets ---------------------------------------------------------------------------------

class GroupTest : public ProjectCommandTest {
 protected:
  // Two projects in their own folders, each with a module of its own and one they share.
  void SetUp() override {
    ProjectCommandTest::SetUp();
    WriteBytes(work_ / "a" / "A.vbp", ProjectListing({"modA.bas", "..\\shared\\modShared.bas"}));
    WriteBytes(work_ / "a" / "modA.bas", Untidy("modA"));
    WriteBytes(work_ / "b" / "B.vbp", ProjectListing({"modB.bas", "..\\shared\\modShared.bas"}));
    WriteBytes(work_ / "b" / "modB.bas", Untidy("modB"));
    WriteBytes(work_ / "shared" / "modShared.bas", Untidy("modShared"));
    WriteBytes(work_ / "All.vbg", "VBGROUP 5.0\r\nStartupProject=a\\A.vbp\r\nProject=b\\B.vbp\r\n");
  }
};

TEST_F(GroupTest, CheckNamesASharedModuleOnce) {
  const Result result = Marquill({"indent", "--check", "All.vbg"});
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.out, "a/modA.bas\nshared/modShared.bas\nb/modB.bas\n");
}

TEST_F(GroupTest, DryRunShowsASharedModuleOnceAndApplies) {
  fs::copy(work_, work_.string() + "-copy", fs::copy_options::recursive);
  const Result preview = Marquill({"indent", "--dry-run", "All.vbg"});
  ASSERT_EQ(preview.code, kExitDone) << preview.err;
  std::size_t shown = 0;
  for (std::size_t at = 0;
       (at = preview.out.find("+++ b/shared/modShared.bas", at)) != std::string::npos; ++at) {
    ++shown;
  }
  EXPECT_EQ(shown, 1u) << preview.out;
  WriteBytes(work_.string() + "-copy/changes.diff", preview.out);
  const std::string apply = "cd '" + work_.string() + "-copy' && git apply changes.diff";
  EXPECT_EQ(std::system(apply.c_str()), 0) << preview.out;
  fs::remove_all(work_.string() + "-copy");
}

TEST_F(GroupTest, RealRunRewritesASharedModuleOnceAndCountsItOnce) {
  const Result result = Marquill({"indent", "--yes", "All.vbg"});
  ASSERT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(ReadBytes(work_ / "shared" / "modShared.bas"), Tidy("modShared"));
  EXPECT_EQ(ReadBytes(work_ / "a" / "modA.bas"), Tidy("modA"));
  EXPECT_EQ(ReadBytes(work_ / "b" / "modB.bas"), Tidy("modB"));
  EXPECT_TRUE(
      std::regex_search(result.err, std::regex("\nindent: 3 files, 3 changed, [0-9.]+ s\n$")))
      << result.err;
}

TEST_F(GroupTest, AProjectNamedTwiceIsWorkedOnOnce) {
  const Result result = Marquill({"indent", "--check", "a/A.vbp", "All.vbg", "a"});
  EXPECT_EQ(result.out, "a/modA.bas\nshared/modShared.bas\nb/modB.bas\n");
}

struct ExcludeCase {
  const char* name;
  std::vector<std::string> options;
  const char* settings;  // .marquill.ini in the searched folder, "" for none
  const char* out;
};

class ExcludeTest : public ProjectCommandTest, public testing::WithParamInterface<ExcludeCase> {};

TEST_P(ExcludeTest, SkipsWhatTheGlobsName) {
  MakeProject("tree/app", "App");
  MakeProject("tree/legacy/old", "Old");
  MakeProject("tree/.hidden", "Hidden");
  if (*GetParam().settings != '\0')
    WriteBytes(work_ / "tree" / ".marquill.ini", GetParam().settings);
  std::vector<std::string> args = {"indent", "--check"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.push_back("tree");
  const Result result = Marquill(args);
  EXPECT_EQ(result.out, GetParam().out) << result.err;
}

const ExcludeCase kExcludeCases[] = {
    {"EveryProjectBelowButHiddenFolders",
     {},
     "",
     "tree/app/modApp.bas\ntree/legacy/old/modOld.bas\n"},
    {"FolderByName", {"--exclude", "legacy"}, "", "tree/app/modApp.bas\n"},
    {"PathBelowTheFolder", {"--exclude", "legacy/*"}, "", "tree/app/modApp.bas\n"},
    {"ProjectFileByPattern", {"--exclude", "*App.vbp"}, "", "tree/legacy/old/modOld.bas\n"},
    {"Repeated", {"--exclude", "app", "--exclude", "legacy"}, "", ""},
    {"FromSettings", {}, "[marquill]\nexclude = legacy\n", "tree/app/modApp.bas\n"},
    {"SettingsAndCommandLineAddUp", {"--exclude", "app"}, "[indent]\nexclude = legacy\n", ""},
};
INSTANTIATE_TEST_SUITE_P(Rows, ExcludeTest, testing::ValuesIn(kExcludeCases), RowName());

TEST_F(ProjectCommandTest, AComponentFileIsWorkedOnAloneAndNothingElseIsWritten) {
  WriteBytes(work_ / "m" / "modOne.bas", Untidy("modOne"));
  WriteBytes(work_ / "m" / "clsTwo.cls",
             "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n" + Untidy("clsTwo"));
  const Result check = Marquill({"indent", "--check", "m/modOne.bas"});
  EXPECT_EQ(check.code, kExitFailed);
  EXPECT_EQ(check.out, "m/modOne.bas\n");

  const Result result = Marquill({"indent", "--yes", "m/modOne.bas", "m/clsTwo.cls"});
  ASSERT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(ReadBytes(work_ / "m" / "modOne.bas"), Tidy("modOne"));
  EXPECT_EQ(ReadBytes(work_ / "m" / "clsTwo.cls"),
            "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n" + Tidy("clsTwo"));
  EXPECT_EQ(Tree(work_ / "m").size(), 2u) << "no project file or temporary was left";
}

struct BadTargetCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

class BadTargetTest : public ProjectCommandTest,
                      public testing::WithParamInterface<BadTargetCase> {};

TEST_P(BadTargetTest, IsAUsageError) {
  WriteBytes(work_ / "notes.txt", "hello");
  WriteBytes(work_ / "Broken.vbg", "VBGROUP 5.0\r\nProject=gone\\Gone.vbp\r\n");
  const Result result = Marquill(GetParam().args);
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

const BadTargetCase kBadTargetCases[] = {
    {"Missing", {"indent", "nothing.vbp"}, "marquill: nothing.vbp: no such file or folder"},
    {"NotAProjectFile", {"indent", "notes.txt"}, "notes.txt: not a project (.vbp)"},
    {"GroupListsAMissingProject",
     {"indent", "Broken.vbg"},
     "Broken.vbg:2: listed project not found: gone\\Gone.vbp"},
    {"StandardInputWithoutAName", {"indent", "-"}, "- needs --stdin-filename NAME.bas"},
    {"StandardInputNotAlone", {"indent", "--stdin-filename", "a.bas", "-", "x.vbp"}, "only target"},
    {"StandardInputNameOfNoComponent",
     {"indent", "--stdin-filename", "a.txt", "-"},
     "not a component file"},
    {"CheckWithDryRun", {"indent", "--check", "--dry-run", "x.vbp"}, "excludes"},
};
INSTANTIATE_TEST_SUITE_P(Rows, BadTargetTest, testing::ValuesIn(kBadTargetCases), RowName());

// --- standard input --------------------------------------------------------------------------

struct StdinCase {
  const char* name;
  std::vector<std::string> options;
  const char* eol;
  int code;
  bool tidy_output;  // else: the output is the input
};

class StandardInputTest : public ProjectCommandTest,
                          public testing::WithParamInterface<StdinCase> {};

TEST_P(StandardInputTest, ReadsOneModuleAndWritesTheResult) {
  std::vector<std::string> args = {"indent"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.insert(args.end(), {"--stdin-filename", "src/modIn.bas", "-"});
  const std::string eol = GetParam().eol;
  const Result result = Marquill(args, Untidy("modIn", eol));
  EXPECT_EQ(result.code, GetParam().code) << result.err;
  EXPECT_EQ(result.out, GetParam().tidy_output ? Tidy("modIn", "    ", eol) : "src/modIn.bas\n");
  EXPECT_EQ(Tree(work_).size(), 0u) << "standard input leaves no file behind";
}

const StdinCase kStdinCases[] = {
    {"CarriageReturnLineFeed", {}, "\r\n", kExitDone, true},
    {"LineFeed", {}, "\n", kExitDone, true},
    {"CheckNamesTheModule", {"--check"}, "\r\n", kExitFailed, false},
};
INSTANTIATE_TEST_SUITE_P(Rows, StandardInputTest, testing::ValuesIn(kStdinCases), RowName());

TEST_F(ProjectCommandTest, StandardInputDryRunIsADiffNamingTheModule) {
  const Result result =
      Marquill({"indent", "--dry-run", "--stdin-filename", "modIn.bas", "-"}, Untidy("modIn"));
  EXPECT_EQ(result.code, kExitDone);
  EXPECT_EQ(result.out.rfind("--- a/modIn.bas\n+++ b/modIn.bas\n@@", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("\n-Beep\r\n+    Beep\r\n"), std::string::npos) << result.out;
}

// --- project settings ----------------------------------------------------------------------

struct SettingsCase {
  const char* name;
  const char* outer;  // .marquill.ini beside .git, "" for none
  const char* inner;  // .marquill.ini in the project's folder, "" for none
  std::vector<std::string> options;
  const char* indent;  // what the nested line is indented with
};

class SettingsTest : public ProjectCommandTest, public testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsTest, CommandLineWinsThenTheNearestFile) {
  MakeProject("p", "A");
  if (*GetParam().outer != '\0') WriteBytes(work_ / ".marquill.ini", GetParam().outer);
  if (*GetParam().inner != '\0') WriteBytes(work_ / "p" / ".marquill.ini", GetParam().inner);
  std::vector<std::string> args = {"indent", "--yes"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.push_back("p/A.vbp");
  const Result result = Marquill(args);
  ASSERT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(ReadBytes(work_ / "p" / "modA.bas"), Tidy("modA", GetParam().indent));
}

const SettingsCase kSettingsCases[] = {
    {"NoFileDefaultWidth", "", "", {}, "    "},
    {"CommandSection", "[indent]\nwidth = 2\n", "", {}, "  "},
    {"QuotedValueAndComments", "; team style\n[indent]\n# two\nwidth = \"2\"\n", "", {}, "  "},
    {"CommonSection", "[marquill]\nwidth = 3\n", "", {}, "   "},
    {"CommandSectionBeatsCommon", "[marquill]\nwidth = 3\n[indent]\nwidth = 2\n", "", {}, "  "},
    {"NearerFileWins", "[indent]\nwidth = 2\n", "[indent]\nwidth = 6\n", {}, "      "},
    {"FartherFileFillsTheGaps", "[indent]\nwidth = 2\n", "[split-lines]\nwidth = 60\n", {}, "  "},
    {"CommandLineWins", "[indent]\nwidth = 2\n", "[indent]\nwidth = 6\n", {"--width", "1"}, " "},
    {"OtherCommandsSectionIgnored", "[split-lines]\nwidth = 2\n", "", {}, "    "},
};
INSTANTIATE_TEST_SUITE_P(Rows, SettingsTest, testing::ValuesIn(kSettingsCases), RowName());

TEST_F(ProjectCommandTest, SettingsAboveTheRepositoryRootDoNotCount) {
  // The work folder holds .git, so its parent is beyond the repository.
  MakeProject("repo/p", "A");
  fs::create_directories(work_ / "repo" / ".git");
  WriteBytes(work_ / ".marquill.ini", "[indent]\nwidth = 2\n");
  ASSERT_EQ(Marquill({"indent", "--yes", "repo/p/A.vbp"}).code, kExitDone);
  EXPECT_EQ(ReadBytes(work_ / "repo" / "p" / "modA.bas"), Tidy("modA"));
}

// A test-only option every project command takes, read by a test-only command as a loader
// reads its code page: from storage the last parse set.
int g_common_level = 0;
const CommonOptionRegistrar kCommonLevel{[](CLI::App& app) {
  g_common_level = 0;
  return app.add_option("--test-level", g_common_level, "Test only");
}};
const ProjectCommandRegistrar kShowLevel{
    {"test-show-level", "Test only", [](CLI::App&) -> ProjectAction {
       return [](ProjectRun& run) {
         run.context.out << DisplayPath(run.target) << ' ' << g_common_level << '\n';
       };
     }}};

struct CommonOptionCase {
  const char* name;
  std::vector<std::string> options;
  const char* out;
};

class CommonOptionTest : public ProjectCommandTest,
                         public testing::WithParamInterface<CommonOptionCase> {};

TEST_P(CommonOptionTest, EachProjectGetsItsOwnSettings) {
  MakeProject("one", "A");
  MakeProject("two", "B");
  MakeProject("three", "C");
  WriteBytes(work_ / "one" / ".marquill.ini", "[marquill]\ntest-level = 1\n");
  WriteBytes(work_ / "two" / ".marquill.ini", "[test-show-level]\ntest-level = 2\n");
  std::vector<std::string> args = {"test-show-level", "-q"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.insert(args.end(), {"one/A.vbp", "two/B.vbp", "three/C.vbp", "one/A.vbp"});
  const Result result = Marquill(args);
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(result.out, GetParam().out);
}

const CommonOptionCase kCommonOptionCases[] = {
    {"FromSettings", {}, "one/A.vbp 1\ntwo/B.vbp 2\nthree/C.vbp 0\n"},
    {"CommandLineWins", {"--test-level", "7"}, "one/A.vbp 7\ntwo/B.vbp 7\nthree/C.vbp 7\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, CommonOptionTest, testing::ValuesIn(kCommonOptionCases), RowName());

// Option values as the command line or a settings file gives them reach the command unchanged,
// however they look, though the framework parses them a second time.
const ProjectCommandRegistrar kEchoText{
    {"test-echo-text", "Test only", [](CLI::App& app) -> ProjectAction {
       auto text = std::make_shared<std::string>("(none)");
       app.add_option("--text", *text, "Test only");
       return [text](ProjectRun& run) { run.context.out << '[' << *text << "]\n"; };
     }}};

struct OptionValueCase {
  const char* name;
  const char* settings;  // .marquill.ini beside the project, "" for none
  std::vector<std::string> options;
  const char* out;
};

class OptionValueTest : public ProjectCommandTest,
                        public testing::WithParamInterface<OptionValueCase> {};

TEST_P(OptionValueTest, ReachesTheCommandAsGiven) {
  MakeProject("p", "A");
  if (*GetParam().settings != '\0') WriteBytes(work_ / "p" / ".marquill.ini", GetParam().settings);
  std::vector<std::string> args = {"test-echo-text", "-q"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.push_back("p/A.vbp");
  const Result result = Marquill(args);
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(result.out, GetParam().out);
}

const OptionValueCase kOptionValueCases[] = {
    {"Empty", "", {"--text", ""}, "[]\n"},
    {"StartingWithADash", "", {"--text=-x"}, "[-x]\n"},
    {"HoldingAnEqualsSign", "", {"--text", "a=b"}, "[a=b]\n"},
    {"EmptyBeatsTheSettings", "[test-echo-text]\ntext = kept\n", {"--text", ""}, "[]\n"},
    {"EmptyFromTheSettings", "[test-echo-text]\ntext =\n", {}, "[]\n"},
    {"NotGiven", "", {}, "[(none)]\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, OptionValueTest, testing::ValuesIn(kOptionValueCases), RowName());

TEST_F(ProjectCommandTest, AnEmptyDescriptionClearsTheOneThere) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  const Result result = Marquill({"describe", "--component", "clsCounter", "--member", "Count",
                                  "--description", "", "project/Marquill.vbp"});
  ASSERT_EQ(result.code, kExitDone) << result.err;
  const std::string counter = ReadBytes(work_ / "project" / "clsCounter.cls");
  EXPECT_EQ(counter.find("The current count."), std::string::npos);
  EXPECT_NE(counter.find("Raised after every change of the count."), std::string::npos);
}

struct BadSettingsCase {
  const char* name;
  const char* settings;
  int code;
  const char* message;
};

class BadSettingsTest : public ProjectCommandTest,
                        public testing::WithParamInterface<BadSettingsCase> {};

TEST_P(BadSettingsTest, NamesTheFileAndLine) {
  MakeProject("p", "A");
  WriteBytes(work_ / "p" / ".marquill.ini", GetParam().settings);
  const Result result = Marquill({"indent", "--check", "p/A.vbp"});
  EXPECT_EQ(result.code, GetParam().code);
  const std::string where = (work_ / "p" / ".marquill.ini").string();
  EXPECT_NE(result.err.find(where + GetParam().message), std::string::npos) << result.err;
}

const BadSettingsCase kBadSettingsCases[] = {
    {"NotKeyValue", "[indent]\nwidth\n", kExitUsage, ":2: expected 'key = value'"},
    {"BeforeAnySection", "width = 2\n", kExitUsage, ":1: a setting before the first [section]"},
    {"BadValue", "[indent]\nwidth = 0.4\n", kExitUsage, ":2: --width: wants a whole number"},
    // Read while each project opens, and settable for every command at once.
    {"CodePageForEveryCommand", "[marquill]\ncodepage = 7\n", kExitUsage,
     ":2: --codepage: not a code page"},
    // A slip is reported, the run goes on with the defaults.
    {"UnknownKeyWarns", "[indent]\nwidht = 2\n", kExitFailed, ":2: indent has no option --widht"},
};
INSTANTIATE_TEST_SUITE_P(Rows, BadSettingsTest, testing::ValuesIn(kBadSettingsCases), RowName());

TEST_F(ProjectCommandTest, ConfigShowsEachSettingWithItsSource) {
  MakeProject("p", "A");
  WriteBytes(work_ / ".marquill.ini", "[indent]\nwidth = 2\n[marquill]\nexclude = old\n");
  WriteBytes(work_ / "p" / ".marquill.ini", "[indent]\nwidth = 6\nbogus = 1\n");
  const Result result = Marquill({"config", "p/A.vbp"});
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(result.out,
            "# p/A.vbp\n"
            "[indent]\n"
            "bogus = 1  ; p/.marquill.ini:3 (no such option; ignored)\n"
            "width = 6  ; p/.marquill.ini:2\n"
            "[marquill]\n"
            "exclude = old  ; .marquill.ini:4\n");
}

// --- previews write nothing anywhere --------------------------------------------------------

struct PreviewCase {
  const char* name;
  std::vector<std::string> args;
};

class PreviewTest : public ProjectCommandTest, public testing::WithParamInterface<PreviewCase> {};

TEST_P(PreviewTest, LeavesSettingsAndAddinFoldersAsTheyWere) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  // A real run first, so both folders exist with what the add-in keeps there.
  ASSERT_EQ(Marquill({"delete-empty-rows", "project/Marquill.vbp"}).code, kExitDone);
  ASSERT_FALSE(Tree(work_ / "addin").empty());
  ASSERT_FALSE(Tree(work_ / "config").empty());
  const Files before = Tree(work_);
  std::vector<std::string> args = GetParam().args;
  args.push_back("project/Marquill.vbp");
  const Result result = Marquill(args);
  EXPECT_NE(result.code, kExitUsage) << result.err;
  EXPECT_EQ(Tree(work_), before);
}

TEST_P(PreviewTest, CreatesNoFolderThatWasMissing) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  std::vector<std::string> args = GetParam().args;
  args.push_back("project/Marquill.vbp");
  const Result result = Marquill(args);
  EXPECT_NE(result.code, kExitUsage) << result.err;
  EXPECT_FALSE(fs::exists(work_ / "addin"));
  EXPECT_FALSE(fs::exists(work_ / "config"));
  EXPECT_EQ(result.err.find("Continue ?"), std::string::npos) << "a preview asks nothing";
}

const PreviewCase kPreviewCases[] = {
    {"IndentCheck", {"indent", "--check"}},
    {"IndentDryRun", {"indent", "--dry-run"}},
    {"SplitLinesDryRun", {"split-lines", "--dry-run", "--width", "30"}},
    {"DeleteCommentsCheck", {"delete-comments", "--check"}},
};
INSTANTIATE_TEST_SUITE_P(Rows, PreviewTest, testing::ValuesIn(kPreviewCases), RowName());

// --- what the user is told -----------------------------------------------------------------

struct SummaryCase {
  const char* name;
  std::vector<std::string> options;
  const char* err;  // a regular expression
};

class SummaryTest : public ProjectCommandTest, public testing::WithParamInterface<SummaryCase> {};

TEST_P(SummaryTest, SaysWhatHappenedOnStandardError) {
  MakeProject("p", "A");
  WriteBytes(work_ / "p" / "B.vbp", ProjectListing({"modTidy.bas"}));
  WriteBytes(work_ / "p" / "modTidy.bas", Tidy("modTidy"));
  std::vector<std::string> args = {"indent", "--yes"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.push_back("p");
  const Result result = Marquill(args);
  // --yes shows the question it answered; what follows is the summary.
  const std::string answered = "(answered Yes by --yes)\n";
  std::string err = result.err;
  if (const auto at = err.rfind(answered); at != std::string::npos)
    err = err.substr(at + answered.size());
  EXPECT_TRUE(std::regex_match(err, std::regex(GetParam().err))) << result.err;
}

const SummaryCase kSummaryCases[] = {
    {"Counts", {}, "indent: 2 files, 1 changed, [0-9]+\\.[0-9] s\n"},
    {"CheckSaysWouldChange", {"--check"}, "indent: 2 files, 1 would change, [0-9.]+ s\n"},
    {"QuietSaysNothing", {"-q"}, ""},
    {"VerboseListsEachFile",
     {"-v", "--dry-run"},
     "indent: p/modA.bas would change\nindent: p/modTidy.bas unchanged\n"
     "indent: 2 files, 1 would change, [0-9.]+ s\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, SummaryTest, testing::ValuesIn(kSummaryCases), RowName());

struct SuggestionCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

class SuggestionTest : public ProjectCommandTest,
                       public testing::WithParamInterface<SuggestionCase> {};

TEST_P(SuggestionTest, NamesTheNearestOne) {
  const Result result = Marquill(GetParam().args);
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_EQ(result.err.rfind(GetParam().message, 0), 0u) << result.err;
}

const SuggestionCase kSuggestionCases[] = {
    {"SwappedLetters",
     {"indnet", "x.vbp"},
     "marquill: unknown command 'indnet'; did you mean indent?\n"},
    {"MissingLetter",
     {"split-line", "x.vbp"},
     "marquill: unknown command 'split-line'; did you mean split-lines?\n"},
    {"NothingClose", {"frobnicate"}, "marquill: unknown command 'frobnicate'\n"},
    {"OptionTypo",
     {"indent", "--widht", "3", "x.vbp"},
     "marquill: indent has no option --widht; did you mean --width?\n"},
    {"OptionWithValue",
     {"indent", "--chek=1", "x.vbp"},
     "marquill: indent has no option --chek; did you mean --check?\n"},
    {"OptionOfAnotherCommand",
     {"join-lines", "--width", "3", "x.vbp"},
     "marquill: join-lines has no option --width\n"},
    {"ClockOption",
     {"clock", "--chek", "x.vbp"},
     "marquill: clock has no option --chek; did you mean --check?\n"},
    {"LogOption",
     {"log", "--totl", "x.vbp"},
     "marquill: log has no option --totl; did you mean --total?\n"},
    {"SettingsOption",
     {"comment-settings", "--standrad", "on"},
     "marquill: comment-settings has no option --standrad; did you mean --standard?\n"},
    {"AddinListOption",
     {"addin-list", "--dryrun"},
     "marquill: addin-list has no option --dryrun; did you mean --dry-run?\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, SuggestionTest, testing::ValuesIn(kSuggestionCases), RowName());

TEST_F(ProjectCommandTest, ModuleByItsFilePath) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  const Result result = Marquill(
      {"delete-comments", "--check", "--module", "project/modMain.bas", "project/Marquill.vbp"});
  EXPECT_EQ(result.code, kExitFailed) << result.err;
  EXPECT_EQ(result.out, "project/modMain.bas\n");
}

TEST_F(ProjectCommandTest, AnUnknownModuleListsTheFirstTwentyComponents) {
  std::vector<std::string> modules;
  for (int i = 1; i <= 25; ++i) {
    const std::string name = "mod" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    modules.push_back(name + ".bas");
    WriteBytes(work_ / "p" / (name + ".bas"), Tidy(name));
  }
  WriteBytes(work_ / "p" / "P.vbp", ProjectListing(modules));
  const Result result = Marquill({"join-lines", "--module", "modNope", "p/P.vbp"});
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_NE(result.err.find("no component named 'modNope' (by name or file); the project has: "
                            "mod01, mod02, "),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(", mod20, ... (5 more)\n"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("mod21"), std::string::npos) << result.err;
}

// Commands outside the framework that change files take --check too: the session lists what
// its dry run would change.
struct SessionCheckCase {
  const char* name;
  std::vector<std::string> args;  // "@" stands for the project file
  const char* out;                // "@log" the project's time log, "@db" the add-in database
};

class SessionCheckTest : public ProjectCommandTest,
                         public testing::WithParamInterface<SessionCheckCase> {};

TEST_P(SessionCheckTest, ListsWhatWouldChangeAndWritesNothing) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  // A shortcut to paste: made by a real run, before the tree is taken.
  ASSERT_EQ(Marquill({"shortcut", "new", "Greeting"}).code, kExitDone);
  ASSERT_EQ(Marquill({"shortcut", "save", "Greeting", "--text", "' hello"}).code, kExitDone);
  const Files before = Tree(work_);
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "@") arg = "project/Marquill.vbp";
  }
  const Result result = Marquill(args);
  EXPECT_EQ(result.code, kExitFailed) << result.err;
  std::string out = GetParam().out;
  if (out == "@log\n") out = "project/Marquill.logs\n";
  if (out == "@db\n") out = "addin/Marquill.mdb\n";
  EXPECT_EQ(result.out, out);
  EXPECT_EQ(Tree(work_), before);
}

const SessionCheckCase kSessionCheckCases[] = {
    {"ClockStartsTheLog", {"clock", "--check", "@"}, "@log\n"},
    {"ShortcutPasteChangesTheModule",
     {"shortcut", "paste", "Greeting", "--module", "modMain", "--line", "2", "--check", "@"},
     "project/modMain.bas\n"},
    {"ShortcutNewChangesTheDatabase", {"shortcut", "new", "Other", "--check"}, "@db\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, SessionCheckTest, testing::ValuesIn(kSessionCheckCases), RowName());

TEST_F(ProjectCommandTest, SessionDryRunDiffsApplyToo) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  const Result preview = Marquill({"clock", "--dry-run", "project/Marquill.vbp"});
  ASSERT_EQ(preview.code, kExitDone) << preview.err;
  EXPECT_EQ(preview.out.rfind("--- /dev/null\n+++ b/project/Marquill.logs\n", 0), 0u)
      << preview.out;
  WriteBytes(work_ / "changes.diff", preview.out);
  EXPECT_EQ(std::system(("cd '" + work_.string() + "' && git apply changes.diff").c_str()), 0);
  EXPECT_TRUE(fs::exists(work_ / "project" / "Marquill.logs"));
}

// --- output that cannot be written ----------------------------------------------------------

// Standard output on a full disk: every write fails.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

struct OutputCase {
  const char* name;
  std::vector<std::string> args;
};

class OutputErrorTest : public ProjectCommandTest,
                        public testing::WithParamInterface<OutputCase> {};

TEST_P(OutputErrorTest, IsAFailure) {
  fs::copy(kSamples, work_ / "project", fs::copy_options::recursive);
  std::vector<std::string> args = {"marquill"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  args.push_back("project/Marquill.vbp");
  std::vector<const char*> argv;
  for (const auto& arg : args) argv.push_back(arg.c_str());
  FullBuffer full;
  std::ostream out(&full);
  std::ostringstream err;
  std::istringstream in;
  CliContext context{out, err, in};
  EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), context), kExitFailed);
  EXPECT_NE(err.str().find("marquill: cannot write to standard output"), std::string::npos)
      << err.str();
}

const OutputCase kOutputCases[] = {
    {"Info", {"info"}},
    {"DryRun", {"indent", "--dry-run"}},
    {"Check", {"delete-comments", "--check"}},
};
INSTANTIATE_TEST_SUITE_P(Rows, OutputErrorTest, testing::ValuesIn(kOutputCases), RowName());

}  // namespace
}  // namespace marquill::cli

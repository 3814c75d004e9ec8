// The line commands of the command line on a copy of the sample project. Each must leave the
// same files as the window script of the matching end-to-end case under tests/e2e/lines/.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using Result = test::CliResult;

const fs::path kCases = test::kSourceDir / "tests" / "e2e" / "lines";

class LineCommandsTest : public test::SampleProjectTest {
 protected:
  // Runs `marquill ARGS... PROJECT.vbp` in-process, with nothing on standard input.
  Result Marquill(std::vector<std::string> args) {
    args.push_back(Vbp().string());
    return test::RunMarquill(std::move(args));
  }
};

struct Case {
  const char* name;
  std::vector<std::vector<std::string>> runs;  // commands run one after the other
  const char* e2e_case;                        // folder under tests/e2e/lines/
  friend void PrintTo(const Case& row, std::ostream* os) { *os << row.name; }
};

class SameAsTheWindowTest : public LineCommandsTest, public testing::WithParamInterface<Case> {};

TEST_P(SameAsTheWindowTest, LeavesTheExpectedFiles) {
  for (const auto& run : GetParam().runs) {
    const Result result = Marquill(run);
    ASSERT_EQ(result.code, kExitDone) << result.err;
    EXPECT_EQ(result.out, "");
  }
  ExpectChangedAsIn(kCases / GetParam().e2e_case);
}

const Case kCasesTable[] = {
    {"DeleteEmptyRows", {{"delete-empty-rows"}}, "delete_empty_rows"},
    {"DeleteEmptyRowsCollapseInAModule",
     {{"delete-empty-rows", "--collapse", "--module", "modMain"}},
     "delete_empty_rows_collapse"},
    {"DeleteComments", {{"delete-comments"}}, "delete_comments"},
    {"SplitJoinCompactRestoresLiterals",
     {{"split-lines", "--module", "modMain", "--width", "60"},
      {"join-lines", "--module", "modMain"},
      {"compact-strings", "--module", "modMain"}},
     "compact_strings"},
    {"JoinLines", {{"join-lines"}}, "join_lines"},
    {"SplitLines", {{"split-lines", "--width", "60"}}, "split_lines"},
    {"SplitSelectedLines",
     {{"split-lines", "--module", "modMain", "--select", "52-53", "--width", "40"}},
     "split_lines_selected"},
    {"IndentWithYes", {{"indent", "--width", "2", "--yes"}}, "indent"},
};

INSTANTIATE_TEST_SUITE_P(Rows, SameAsTheWindowTest, testing::ValuesIn(kCasesTable),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(LineCommandsTest, IndentWithNoOneToAnswerRefusesAndWritesNothing) {
  const Result result = Marquill({"indent"});
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_NE(result.err.find("This will remove multiple line spliting !"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(": indent was not confirmed; nothing was written"), std::string::npos)
      << result.err;
  EXPECT_TRUE(Changed().empty());
}

TEST_F(LineCommandsTest, DryRunPrintsTheDiffAndWritesNothing) {
  const Result result = Marquill({"delete-comments", "--module", "modMain", "--dry-run"});
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_NE(result.out.find("modMain.bas\n@@"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\n-' Helpers shared by the sample's forms.\r\n"), std::string::npos)
      << result.out;
  EXPECT_EQ(result.out.find("clsCounter"), std::string::npos) << "only modMain changes";
  EXPECT_TRUE(Changed().empty());
}

TEST_F(LineCommandsTest, AReadOnlyModuleIsNamedAndNoFileIsWritten) {
  const fs::path locked = work_ / "project" / "clsCounter.cls";
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  const Result result = Marquill({"delete-comments"});
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_NE(result.err.find("nothing was saved: read-only files are left as they are: " +
                            locked.string() + "\n"),
            std::string::npos)
      << result.err;
  EXPECT_TRUE(Changed().empty()) << "modMain.bas has comments too, and stays as it was";
}

TEST_F(LineCommandsTest, WhatAnInterruptedSaveLeftIsClearedAndReported) {
  const fs::path stray = work_ / "project" / ".modMain.bas.marquill-Kx81Qa";
  std::ofstream(stray) << "half a module";
  const Result result = Marquill({"delete-empty-rows", "--module", "modMain", "--dry-run"});
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_NE(result.err.find("marquill: " + (work_ / "project" / "Marquill.vbp").string() +
                            ": removed 1 temporary file left by a save that was interrupted"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(fs::exists(stray));
}

// Indent gives up on a module whose nesting needs more than a code line of indentation: the
// window keeps quiet, the command line says where and writes nothing.
TEST_F(LineCommandsTest, IndentStoppedHalfWayFailsAndWritesNothing) {
  {
    std::ofstream module(work_ / "project" / "modMain.bas", std::ios::binary | std::ios::app);
    module << "Sub Deep()\r\nFor i = 1 To 2\r\nDo\r\nx = 1\r\nLoop\r\nNext\r\nEnd Sub\r\n";
  }
  before_ = test::FilesIn(work_ / "project");
  const Result result = Marquill({"indent", "--yes", "--width", "600"});
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_NE(result.err.find("indent stopped in "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(" columns of indentation; a code line holds at most 1023 characters; "
                            "nothing was written"),
            std::string::npos)
      << result.err;
  // Line 74 of the file is 71 of the code once the sample's continued lines are joined.
  EXPECT_NE(result.err.find("modMain.bas: indent stopped in modMain at line 71 (continued lines "
                            "joined): it needs 1200 columns"),
            std::string::npos)
      << result.err;
  EXPECT_TRUE(Changed().empty());
}

TEST_F(LineCommandsTest, StatementsLeftContinuedAreCounted) {
  std::string piece = "x = " + std::string(600, 'a') + " + _\r\n";
  {
    std::ofstream module(work_ / "project" / "modMain.bas", std::ios::binary | std::ios::app);
    module << "Sub Long()\r\n" << piece << piece << "1\r\n" << piece << piece << "2\r\nEnd Sub\r\n";
  }
  before_ = test::FilesIn(work_ / "project");
  const Result join = Marquill({"join-lines", "--module", "modMain"});
  EXPECT_EQ(join.code, kExitDone) << join.err;
  EXPECT_EQ(join.err.rfind("join-lines: 2 statements left continued: one line of at most 1023 "
                           "characters could not hold them\njoin-lines: 5 files, 1 changed, 2 "
                           "statements left continued, ",
                           0),
            0u)
      << join.err;
  EXPECT_NE(Changed()["modMain.bas"].find(piece + piece + "1\r\n"), std::string::npos);
  const Result indent = Marquill({"indent", "--yes", "--module", "modMain"});
  EXPECT_EQ(indent.code, kExitDone) << indent.err;
  EXPECT_NE(indent.err.find("indent: 2 statements left continued"), std::string::npos)
      << indent.err;
  const Result none = Marquill({"join-lines", "-q", "--module", "clsCounter"});
  EXPECT_EQ(none.err, "");
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
  friend void PrintTo(const UsageCase& row, std::ostream* os) { *os << row.name; }
};

class LineUsageTest : public LineCommandsTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(LineUsageTest, ExitsTwoAndWritesNothing) {
  const Result result = Marquill(GetParam().args);
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_TRUE(Changed().empty());
}

const UsageCase kUsageCases[] = {
    {"SelectWithoutModule", {"join-lines", "--select", "1-2"}, "--select requires --module"},
    {"SelectNotARange", {"join-lines", "--module", "modMain", "--select", "3"}, "FIRST-LAST"},
    {"SelectBackwards", {"join-lines", "--module", "modMain", "--select", "5-3"}, "FIRST-LAST"},
    {"SelectPastTheEnd",
     {"join-lines", "--module", "modMain", "--select", "60-900"},
     "'modMain' has 70 lines"},
    {"UnknownModule",
     {"delete-comments", "--module", "modNope"},
     "no component named 'modNope' (by name or file); the project has: frmMain, mdiMain, "},
    {"SelectPastTheEndExplainsTheCounting",
     {"join-lines", "--module", "modMain", "--select", "1-71"},
     "without the file's header and Attribute lines"},
    {"ModuleEmpty", {"delete-comments", "--module", ""}, "--module: must not be empty"},
    {"SelectEmpty", {"join-lines", "--module", "modMain", "--select", ""}, "must not be empty"},
    {"WidthZero", {"split-lines", "--width", "0"}, "--width: wants a whole number of at least 1"},
    {"WidthFraction", {"indent", "--width", "0.4"}, "--width: wants a whole number"},
    {"WidthSigned", {"split-lines", "--width", "+5"}, "--width: wants a whole number"},
    {"WidthHex", {"indent", "--width", "&H10"}, "--width: wants a whole number"},
    {"WidthExponent", {"split-lines", "--width", "1e3"}, "--width: wants a whole number"},
    {"WidthNotANumber", {"indent", "--yes", "--width", "four"}, "--width: wants a whole number"},
    {"WidthBeyondAWholeNumber", {"split-lines", "--width", "99999999999"}, "is too large"},
    {"IndentWiderThanACodeLine",
     {"indent", "--yes", "--width", "1024"},
     "--width 1024 is too large: at most 1023"},
};

INSTANTIATE_TEST_SUITE_P(Rows, LineUsageTest, testing::ValuesIn(kUsageCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace marquill::cli

// comment-settings and headers on a copy of the sample project and a fresh add-in folder. The
// headers must match what the window script of the matching end-to-end case leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "host/paths/paths.h"
#include "host/store/connection.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using Result = test::CliResult;
using test::ReadBytes;

const fs::path kCases = test::kSourceDir / "tests" / "e2e" / "comments";

const char kDefaultListing[] =
    "module-comments: on\n"
    "standard: on\n"
    "also: off\n"
    "delimiters: on\n"
    "delim: -\n"
    "delim-count: 60\n"
    "member-line: ' Revised: \n"
    "module-template:\n"
    "    '  Module:      \n"
    "    '  Author:      \n"
    "    '  Created:     \n"
    "    '  Description: \n";

class CommentCommandsTest : public test::SampleProjectTest {
 protected:
  fs::path Database() const { return work_ / "addin" / "Marquill.mdb"; }
  std::string Project() const { return Vbp().string(); }

  Result Marquill(std::vector<std::string> args) { return test::RunMarquill(std::move(args)); }

  void Sql(const std::string& statement) {
    host::Connection connection;
    connection.Open(Database());
    connection.Execute(statement);
  }

  std::string Listing() {
    const Result shown = Marquill({"comment-settings"});
    EXPECT_EQ(shown.code, kExitDone) << shown.err;
    return shown.out;
  }
};

TEST_F(CommentCommandsTest, ShowsTheSettingsOfANewDatabase) {
  EXPECT_EQ(Listing(), kDefaultListing);
}

TEST_F(CommentCommandsTest, ChangesAreSavedAndShownAgain) {
  std::ofstream(work_ / "template.txt", std::ios::binary) << "' Module: X\n' Owner: O'Neil\n";
  const Result saved =
      Marquill({"comment-settings", "--module-comments", "off", "--also", "on", "--delim", "=",
                "--delim-count", "007", "--member-line", "' Checked: don't skip",
                "--module-template", (work_ / "template.txt").string()});
  ASSERT_EQ(saved.code, kExitDone) << saved.err;
  EXPECT_EQ(saved.out, "");
  EXPECT_EQ(Listing(),
            "module-comments: off\n"
            "standard: on\n"
            "also: on\n"
            "delimiters: on\n"
            "delim: =\n"
            "delim-count: 7\n"
            "member-line: ' Checked: don't skip\n"
            "module-template:\n"
            "    ' Module: X\n"
            "    ' Owner: O'Neil\n");
}

TEST_F(CommentCommandsTest, DryRunPrintsTheChangeAndWritesNothingAnywhere) {
  const Result result = Marquill({"comment-settings", "--dry-run", "--standard", "off"});
  ASSERT_EQ(result.code, kExitDone) << result.err;
  const std::string label = Database().string();
  EXPECT_EQ(result.out, "--- " + label + "\n+++ " + label +
                            "\n@@ -1,5 +1,5 @@\n module-comments: on\n-standard: on\n+standard: "
                            "off\n also: off\n delimiters: on\n delim: -\n");
  EXPECT_TRUE(fs::is_empty(work_ / "addin"));
  EXPECT_FALSE(fs::exists(work_ / "config"));
}

struct UsageRow {
  const char* name;
  std::vector<std::string> args;
  const char* message;
  friend void PrintTo(const UsageRow& row, std::ostream* os) { *os << row.name; }
};

class CommentUsageTest : public CommentCommandsTest,
                         public testing::WithParamInterface<UsageRow> {};

TEST_P(CommentUsageTest, ExitsTwoAndChangesNothing) {
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "PROJECT") arg = Project();
  }
  const Result result = Marquill(args);
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_TRUE(Changed().empty());
  EXPECT_EQ(Listing(), kDefaultListing);
}

const UsageRow kUsageRows[] = {
    {"CountNegative", {"comment-settings", "--delim-count", "-3"}, "--delim-count wants"},
    {"CountLetters", {"comment-settings", "--delim-count", "ten"}, "--delim-count wants"},
    {"CountLongerThanALine", {"comment-settings", "--delim-count", "1022"}, "from 0 to 1021"},
    {"SwitchNeitherOnNorOff", {"comment-settings", "--also", "yes"}, "--also"},
    {"TemplateMissing",
     {"comment-settings", "--also", "on", "--module-template", "/nonexistent/t.txt"},
     "/nonexistent/t.txt: cannot read the module template"},
    {"ModuleMissing", {"headers", "--module", "modNope", "PROJECT"}, "named 'modNope'"},
    {"MemberMissing",
     {"headers", "--module", "modMain", "--member", "Main", "--member", "Nope", "PROJECT"},
     "'modMain' has no method, property or event named 'Nope'"},
};

INSTANTIATE_TEST_SUITE_P(Rows, CommentUsageTest, testing::ValuesIn(kUsageRows),
                         [](const auto& row) { return std::string(row.param.name); });

struct HeadersRow {
  const char* name;
  std::vector<std::string> args;
  std::string settings_sql;  // run on the database first, when not empty
  const char* e2e_case;
  friend void PrintTo(const HeadersRow& row, std::ostream* os) { *os << row.name; }
};

class HeadersTest : public CommentCommandsTest, public testing::WithParamInterface<HeadersRow> {};

TEST_P(HeadersTest, LeavesWhatTheWindowLeaves) {
  if (!GetParam().settings_sql.empty()) Sql(GetParam().settings_sql);
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "PROJECT") arg = Project();
    if (arg.starts_with("PROJECT_DIR/")) arg = (work_ / "project" / arg.substr(12)).string();
  }
  const Result result = Marquill(args);
  ASSERT_EQ(result.code, kExitDone) << result.err;
  ExpectChangedAsIn(kCases / GetParam().e2e_case);
}

const HeadersRow kHeadersRows[] = {
    {"EveryMemberOfAClass", {"headers", "--module", "clsCounter", "PROJECT"}, "", "headers_class"},
    {"ClassByItsFile",
     {"headers", "--component", "PROJECT_DIR/clsCounter.cls", "PROJECT"},
     "",
     "headers_class"},
    {"ClassFileAloneNeedsNoModule", {"headers", "PROJECT_DIR/clsCounter.cls"}, "", "headers_class"},
    {"ChosenMembersWithTheMemberLine",
     {"headers", "--module", "modmain", "--member", "JoinTexts", "--member", "readsetting",
      "--member", "Describe", "PROJECT"},
     "UPDATE Comments SET IncludeModule = 0, IncludeMember = 1, IncludeDelim = 0, "
     "Member = ''' Reviewed by:'",
     "headers_live_fields"},
};

INSTANTIATE_TEST_SUITE_P(Rows, HeadersTest, testing::ValuesIn(kHeadersRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CommentCommandsTest, HeadersCheckListsTheFileAndWritesNothing) {
  const Result result = Marquill({"headers", "--check", "--module", "modMain", Project()});
  EXPECT_EQ(result.code, kExitFailed) << result.err;
  EXPECT_NE(result.out.find("modMain.bas\n"), std::string::npos) << result.out;
  EXPECT_TRUE(Changed().empty());
  EXPECT_TRUE(fs::is_empty(work_ / "addin"));
}

TEST_F(CommentCommandsTest, HeadersNeedAModuleWhenTheProjectHoldsSeveral) {
  const Result result = Marquill({"headers", Project()});
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_NE(result.err.find("--module is needed: the project holds 5 modules"), std::string::npos)
      << result.err;
  EXPECT_TRUE(Changed().empty());
}

// --check says whether a save would change the settings, and writes nothing.
TEST_F(CommentCommandsTest, SettingsCheckTellsWhetherASaveWouldChangeThem) {
  const Result same = Marquill({"comment-settings", "--check", "--standard", "on"});
  EXPECT_EQ(same.code, kExitDone) << same.err;
  EXPECT_EQ(same.out, "");
  const Result differs = Marquill({"comment-settings", "--check", "--standard", "off"});
  EXPECT_EQ(differs.code, kExitFailed) << differs.err;
  EXPECT_EQ(differs.out, host::DisplayPath(Database()) + "\n");
  EXPECT_TRUE(fs::is_empty(work_ / "addin"));
}

TEST_F(CommentCommandsTest, HeadersDryRunPrintsAPatchAndWritesNothing) {
  const Result result = Marquill({"headers", "--dry-run", "--module", "modMain", Project()});
  ASSERT_EQ(result.code, kExitDone) << result.err;
  EXPECT_NE(result.out.find("+' Main (Sub) description:\r\n"), std::string::npos) << result.out;
  EXPECT_TRUE(Changed().empty());
  EXPECT_TRUE(fs::is_empty(work_ / "addin"));
}

// A database the commands cannot use: exit 1 with a message naming it, nothing changed.
class UnusableDatabaseTest : public CommentCommandsTest {
 protected:
  void ExpectFailure(const Result& result, const std::string& what) {
    EXPECT_EQ(result.code, kExitFailed);
    EXPECT_NE(result.err.find("Error with Marquill.mdb !"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("marquill: " + Database().string() + ": " + what), std::string::npos)
        << result.err;
    EXPECT_TRUE(Changed().empty());
  }
};

TEST_F(UnusableDatabaseTest, NotADatabase) {
  std::ofstream(Database(), std::ios::binary) << "plain text\n";
  ExpectFailure(Marquill({"comment-settings"}), "cannot read the comment settings");
  ExpectFailure(Marquill({"comment-settings", "--also", "on"}), "cannot read the comment settings");
  ExpectFailure(Marquill({"headers", "--module", "modMain", Project()}),
                "cannot read the comment settings");
  EXPECT_EQ(ReadBytes(Database()), "plain text\n");
}

TEST_F(UnusableDatabaseTest, ReadOnlyDatabaseShowsButRefusesToSave) {
  EXPECT_EQ(Listing(), kDefaultListing);
  {
    // The header's write version makes SQLite open the file for reading only, even for root.
    std::fstream bytes(Database(), std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(18);
    bytes.put(static_cast<char>(3));
  }
  ExpectFailure(Marquill({"comment-settings", "--also", "on"}), "cannot save the comment settings");
  EXPECT_EQ(Listing(), kDefaultListing);
  EXPECT_EQ(Marquill({"headers", "--module", "modMain", Project()}).code, kExitDone)
      << "reading the settings is enough for headers";
}

TEST_F(UnusableDatabaseTest, DatabaseLockedByAnotherWriter) {
  EXPECT_EQ(Listing(), kDefaultListing);
  host::Connection other;
  other.Open(Database());
  other.Execute("BEGIN IMMEDIATE");
  ExpectFailure(Marquill({"comment-settings", "--standard", "off"}),
                "cannot save the comment settings");
  other.Execute("ROLLBACK");
  EXPECT_EQ(Listing(), kDefaultListing);
}

}  // namespace
}  // namespace marquill::cli

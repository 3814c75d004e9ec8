// clock, log, shortcut, regsvr and addin-list on a copy of the sample project, with the add-in
// folder, the settings and a Wine prefix in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "host/paths/paths.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using Result = test::CliResult;
using test::ReadBytes;
using test::WriteBytes;
using test::kSamples;

class ToolCommandsTest : public test::SampleProjectTest {
 protected:
  void SetUp() override {
    SampleProjectTest::SetUp();
    fs::create_directories(work_ / "wine" / "drive_c" / "windows" / "system32");
    setenv("WINEPREFIX", (work_ / "wine").c_str(), 1);
    setenv("LC_ALL", "en_GB.UTF-8", 1);
    unsetenv("WINDIR");
  }
  void TearDown() override {
    unsetenv("MARQUILL_NOW");
    unsetenv("WINEPREFIX");
    unsetenv("LC_ALL");
  }

  fs::path Log() const { return work_ / "project" / "Marquill.logs"; }
  fs::path AddinList() const { return work_ / "wine" / "drive_c" / "windows" / "vbaddin.ini"; }

  Result Marquill(std::vector<std::string> args) { return test::RunMarquill(std::move(args)); }

  Result Clock(const char* now, std::vector<std::string> more = {}) {
    setenv("MARQUILL_NOW", now, 1);
    more.insert(more.begin(), "clock");
    more.push_back(Vbp().string());
    return Marquill(more);
  }
};

TEST_F(ToolCommandsTest, ClockStartsThenStopsAndLogTotalsTheLog) {
  EXPECT_EQ(Clock("2026-12-06 09:00:00").out, "Start at 2026-12-06 09:00:00\n");
  EXPECT_EQ(Clock("2026-12-07 10:01:01").out, "Stop  at 2026-12-07 10:01:01\n");
  EXPECT_EQ(ReadBytes(Log()), "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-07 10:01:01\r\n");
  Result log = Marquill({"log", Vbp().string()});
  EXPECT_EQ(log.code, 0) << log.err;
  EXPECT_EQ(log.out,
            "Start at 2026-12-06 09:00:00\nStop  at 2026-12-07 10:01:01\nTotal: 1 day(s) "
            "01:01:01\n");
  EXPECT_EQ(Marquill({"log", "--total", Vbp().string()}).out, "1 day(s) 01:01:01\n");
}

TEST_F(ToolCommandsTest, ADryRunClockPrintsTheLineItWouldAppendAndWritesNothing) {
  WriteBytes(Log(), "Start at 06/12/2026 09:00:00\r\n");
  Result dry = Clock("2026-12-06 10:00:00", {"--dry-run"});
  EXPECT_EQ(dry.code, 0) << dry.err;
  const std::string log = host::DisplayPath(Log());
  EXPECT_TRUE(dry.out.starts_with("--- a/" + log + "\n+++ b/" + log + "\n@@ -1 +1,2 @@\n"))
      << dry.out;
  EXPECT_NE(dry.out.find("\n+Stop  at 2026-12-06 10:00:00"), std::string::npos) << dry.out;
  EXPECT_EQ(ReadBytes(Log()), "Start at 06/12/2026 09:00:00\r\n");
  EXPECT_FALSE(fs::exists(work_ / "addin" / "Marquill.mdb")) << "a dry run creates no database";
  EXPECT_FALSE(fs::exists(work_ / "config")) << "a dry run keeps no window settings";
}

TEST_F(ToolCommandsTest, CheckListsWhatWouldChangeAndWritesNothing) {
  Result clock = Clock("2026-12-06 09:00:00", {"--check"});
  EXPECT_EQ(clock.code, 1);
  EXPECT_EQ(clock.out, host::DisplayPath(Log()) + "\n");
  EXPECT_FALSE(fs::exists(Log()));

  Result added = Marquill({"shortcut", "new", "X", "--check"});
  EXPECT_EQ(added.code, 1);
  EXPECT_EQ(added.out, host::DisplayPath(work_ / "addin" / "Marquill.mdb") + "\n");
  EXPECT_EQ(Marquill({"shortcut", "list"}).out, "");

  WriteBytes(AddinList(), "[Add-Ins32]\r\n");
  WriteBytes(work_ / "same.ini", "[Add-Ins32]\n");
  WriteBytes(work_ / "other.ini", "[Add-Ins32]\nX.Connect=0\n");
  EXPECT_EQ(Marquill({"addin-list", "--edit", (work_ / "same.ini").string(), "--check"}).code, 0);
  Result other = Marquill({"addin-list", "--edit", (work_ / "other.ini").string(), "--check"});
  EXPECT_EQ(other.code, 1);
  EXPECT_EQ(other.out, host::DisplayPath(AddinList()) + "\n");
  EXPECT_EQ(ReadBytes(AddinList()), "[Add-Ins32]\r\n");
}

// --- several projects in one call -----------------------------------------------------------

class SeveralProjectsTest : public ToolCommandsTest {
 protected:
  void SetUp() override {
    ToolCommandsTest::SetUp();
    fs::create_directories(work_ / "repo" / ".git");
    for (const char* name : {"a", "b", "old"})
      fs::copy(kSamples, work_ / "repo" / name, fs::copy_options::recursive);
  }
  fs::path LogOf(const std::string& name) const { return work_ / "repo" / name / "Marquill.logs"; }
  fs::path VbpOf(const std::string& name) const { return work_ / "repo" / name / "Marquill.vbp"; }
};

TEST_F(SeveralProjectsTest, ClockTogglesEachProjectsClockAndSaysWhich) {
  setenv("MARQUILL_NOW", "2026-12-06 09:00:00", 1);
  WriteBytes(LogOf("b"), "Start at 2026-12-06 08:00:00\r\n");
  Result result = Marquill({"clock", "--exclude", "old", (work_ / "repo").string()});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out, host::DisplayPath(VbpOf("a")) + ": Start at 2026-12-06 09:00:00\n" +
                            host::DisplayPath(VbpOf("b")) + ": Stop  at 2026-12-06 09:00:00\n");
  EXPECT_TRUE(result.err.starts_with("clock: 2 files, 2 changed, ")) << result.err;
  EXPECT_EQ(ReadBytes(LogOf("a")), "Start at 2026-12-06 09:00:00\r\n");
  EXPECT_EQ(ReadBytes(LogOf("b")),
            "Start at 2026-12-06 08:00:00\r\nStop  at 2026-12-06 09:00:00\r\n");
  EXPECT_FALSE(fs::exists(LogOf("old")));
}

TEST_F(SeveralProjectsTest, ClockTakesTheFoldersToLeaveOutFromTheSettings) {
  WriteBytes(work_ / "repo" / ".marquill.ini", "[marquill]\nexclude = old\n");
  Result check = Marquill({"clock", "--check", "-v", (work_ / "repo").string()});
  EXPECT_EQ(check.code, 1) << check.err;
  EXPECT_EQ(check.out, host::DisplayPath(LogOf("a")) + "\n" + host::DisplayPath(LogOf("b")) + "\n");
  EXPECT_TRUE(check.err.starts_with("clock: " + host::DisplayPath(LogOf("a")) +
                                    " would change\nclock: " + host::DisplayPath(LogOf("b")) +
                                    " would change\nclock: 2 files, 2 would change, "))
      << check.err;
  EXPECT_FALSE(fs::exists(LogOf("a")));
  EXPECT_FALSE(fs::exists(LogOf("b")));
}

TEST_F(SeveralProjectsTest, AComponentFileHasNoTimeLog) {
  const fs::path module = work_ / "repo" / "a" / "modMain.bas";
  for (const char* command : {"clock", "log"}) {
    Result result = Marquill({command, module.string()});
    EXPECT_EQ(result.code, 2) << command;
    EXPECT_TRUE(result.err.starts_with("marquill: " + module.string() + ": " + command +
                                       " works on projects (.vbp, or the groups and folders "
                                       "that hold them): a component file has no time log\n"))
        << result.err;
  }
}

TEST_F(SeveralProjectsTest, LogShowsEachProjectUnderItsName) {
  WriteBytes(LogOf("a"), "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-06 09:00:10\r\n");
  WriteBytes(LogOf("old"), "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-06 10:00:00\r\n");
  Result result = Marquill({"log", "--total", (work_ / "repo").string()});
  EXPECT_EQ(result.code, 1) << "b has no log";
  EXPECT_EQ(result.out, "==> " + host::DisplayPath(LogOf("a")) + " <==\n00:00:10\n\n==> " +
                            host::DisplayPath(LogOf("b")) + " <==\n\n==> " +
                            host::DisplayPath(LogOf("old")) + " <==\n01:00:00\n");
  EXPECT_EQ(result.err,
            "marquill: " + LogOf("b").string() + ": no time log: the clock was never started\n");
}

// --- commands on the add-in's own files ---------------------------------------------------

struct AddinFileCase {
  const char* name;
  std::vector<std::string> args;  // "@new" stands for a list file that differs from the IDE's
  int code;
  const char* out;  // "@db" the database, "@list" the IDE's add-in list
  const char* err;  // a regular expression
};

class AddinFileTest : public ToolCommandsTest, public testing::WithParamInterface<AddinFileCase> {};

TEST_P(AddinFileTest, TellWhatChangedAsProjectCommandsDo) {
  WriteBytes(AddinList(), "[Add-Ins32]\r\n");
  WriteBytes(work_ / "new.ini", "[Add-Ins32]\nX.Connect=0\n");
  ASSERT_EQ(Marquill({"shortcut", "new", "Kept"}).code, 0);
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "@new") arg = (work_ / "new.ini").string();
  }
  const Result result = Marquill(args);
  EXPECT_EQ(result.code, GetParam().code) << result.err;
  std::string out = GetParam().out;
  if (out == "@db\n") out = host::DisplayPath(work_ / "addin" / "Marquill.mdb") + "\n";
  if (out == "@list\n") out = host::DisplayPath(AddinList()) + "\n";
  if (out != "*") {  // "*": whatever the command shows
    EXPECT_EQ(result.out, out);
  }
  std::string err = GetParam().err;
  const std::string db = host::DisplayPath(work_ / "addin" / "Marquill.mdb");
  for (std::size_t at = err.find("@db"); at != std::string::npos; at = err.find("@db"))
    err.replace(at, 3, db);
  EXPECT_TRUE(std::regex_match(result.err, std::regex(err))) << result.err;
}

const AddinFileCase kAddinFileCases[] = {
    {"SettingsSaved",
     {"comment-settings", "--standard", "off"},
     0,
     "",
     "comment-settings: 1 file, 1 changed, [0-9.]+ s\n"},
    {"SettingsSavedAsTheyWere",
     {"comment-settings", "--standard", "on"},
     0,
     "",
     "comment-settings: 1 file, 0 changed, [0-9.]+ s\n"},
    {"SettingsShownChangeNothing", {"comment-settings"}, 0, "*", ""},
    {"ShortcutCheck",
     {"shortcut", "new", "Other", "--check"},
     1,
     "@db\n",
     "shortcut: 1 file, 1 would change, [0-9.]+ s\n"},
    {"ShortcutVerbose",
     {"shortcut", "delete", "Kept", "-v"},
     0,
     "deleted shortcut 'Kept'\n",
     "shortcut: @db changed\nshortcut: 1 file, 1 changed, [0-9.]+ s\n"},
    {"ShortcutQuiet",
     {"shortcut", "save", "Kept", "--text", "x", "-q"},
     0,
     "saved shortcut 'Kept'\n",
     ""},
    {"ShortcutListChangesNothing", {"shortcut", "list"}, 0, "Kept\n", ""},
    {"AddinListCheck",
     {"addin-list", "--edit", "@new", "--check"},
     1,
     "@list\n",
     "addin-list: 1 file, 1 would change, [0-9.]+ s\n"},
    {"AddinListWritten",
     {"addin-list", "--edit", "@new"},
     0,
     "",
     "addin-list: 1 file, 1 changed, [0-9.]+ s\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, AddinFileTest, testing::ValuesIn(kAddinFileCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Every file below `root` with its bytes.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path());
  }
  return files;
}

struct PreviewCase {
  const char* name;
  std::vector<std::string> args;  // "@vbp" the project, "@new" a list unlike the IDE's
};

class AddinFilePreviewTest : public ToolCommandsTest,
                             public testing::WithParamInterface<PreviewCase> {};

TEST_P(AddinFilePreviewTest, WritesNothingAnywhere) {
  WriteBytes(AddinList(), "[Add-Ins32]\r\n");
  WriteBytes(work_ / "new.ini", "[Add-Ins32]\nX.Connect=0\n");
  // Real runs first, so the database, the window's settings and a time log exist.
  ASSERT_EQ(Marquill({"shortcut", "new", "Kept"}).code, 0);
  ASSERT_EQ(Marquill({"clock", Vbp().string()}).code, 0);
  ASSERT_TRUE(fs::exists(work_ / "config"));
  const auto before = Tree(work_);
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "@vbp") arg = Vbp().string();
    if (arg == "@new") arg = (work_ / "new.ini").string();
  }
  const Result result = Marquill(args);
  EXPECT_NE(result.code, 2) << result.err;
  EXPECT_FALSE(result.out.empty()) << "a preview shows what it would change";
  EXPECT_EQ(Tree(work_), before);
}

const PreviewCase kPreviewCases[] = {
    {"ClockDryRun", {"clock", "--dry-run", "@vbp"}},
    {"ClockCheck", {"clock", "--check", "@vbp"}},
    {"CommentSettingsDryRun", {"comment-settings", "--dry-run", "--also", "on"}},
    {"CommentSettingsCheck", {"comment-settings", "--check", "--also", "on"}},
    {"ShortcutDeleteDryRun", {"shortcut", "delete", "Kept", "--dry-run"}},
    {"ShortcutSaveCheck", {"shortcut", "save", "Kept", "--text", "x", "--check"}},
    {"AddinListDryRun", {"addin-list", "--edit", "@new", "--dry-run"}},
    {"AddinListCheck", {"addin-list", "--edit", "@new", "--check"}},
};
INSTANTIATE_TEST_SUITE_P(Rows, AddinFilePreviewTest, testing::ValuesIn(kPreviewCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct LogFailure {
  const char* name;
  std::string log;  // "" for none
  std::vector<std::string> args;
  int code;
  std::string out;
  std::string err;  // <log> stands for the log's path
};

class LogFailureTest : public ToolCommandsTest, public testing::WithParamInterface<LogFailure> {};

TEST_P(LogFailureTest, ReportsAndKeepsTheLog) {
  const LogFailure& row = GetParam();
  if (!row.log.empty()) WriteBytes(Log(), row.log);
  std::vector<std::string> args = row.args;
  args.push_back(Vbp().string());
  Result result = Marquill(args);
  std::string err = row.err;
  const std::size_t at = err.find("<log>");
  if (at != std::string::npos) err.replace(at, 5, Log().string());
  EXPECT_EQ(result.code, row.code);
  EXPECT_EQ(result.out, row.out);
  EXPECT_EQ(result.err, err);
  if (!row.log.empty()) {
    EXPECT_EQ(ReadBytes(Log()), row.log);
  }
}

const LogFailure kLogFailures[] = {
    {"NoLogYet", "", {"log"}, 1, "", "marquill: <log>: no time log: the clock was never started\n"},
    {"LinesWithoutATime",
     "Start at 2026-12-06 09:00:00\r\nlunch 12-13\r\nStop  at 2026-12-06 09:00:30\r\n",
     {"log", "--total"},
     1,
     "00:00:30\n",
     "marquill: <log>:2: no start or stop time; not counted\n"},
    {"BinaryLog",
     std::string("Start\0\0\0", 8),
     {"log"},
     1,
     "",
     "marquill: <log> is not a text file; it was not loaded.\n"},
    {"ClockOnABinaryLog",
     std::string("Start\0\0\0", 8),
     {"clock", "-q"},
     1,
     "",
     "marquill: <log>: not a text file; nothing was written\n"},
};

INSTANTIATE_TEST_SUITE_P(Logs, LogFailureTest, testing::ValuesIn(kLogFailures),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ToolCommandsTest, ShortcutsAreCreatedSavedPastedAndDeleted) {
  EXPECT_EQ(Marquill({"shortcut", "new", "Twin"}).code, 0);
  EXPECT_EQ(Marquill({"shortcut", "new", "Twin"}).code, 0);
  EXPECT_EQ(Marquill({"shortcut", "list"}).out, "Twin\nTwin\n");
  Result ambiguous = Marquill({"shortcut", "save", "Twin", "--text", "x"});
  EXPECT_EQ(ambiguous.code, 2);
  EXPECT_EQ(ambiguous.err,
            "marquill: 2 shortcuts are named 'Twin'; name one by its position, #0 or #1 "
            "(shortcut list)\n");
  EXPECT_EQ(Marquill({"shortcut", "save", "#1", "--text", "' one\n' two"}).out,
            "saved shortcut 'Twin'\n");
  const std::string module_before = ReadBytes(work_ / "project" / "modMain.bas");
  Result paste =
      Marquill({"shortcut", "paste", "#1", "--module", "modMain", "--line", "2", Vbp().string()});
  EXPECT_EQ(paste.code, 0) << paste.err;
  const std::string module_after = ReadBytes(work_ / "project" / "modMain.bas");
  // Code line 2 is the file's third line: the code window does not show the Attribute line.
  const std::size_t second_line = module_before.find("\r\n", module_before.find("\r\n") + 2) + 2;
  EXPECT_EQ(module_after, module_before.substr(0, second_line) + "' one\r\n' two\r\n" +
                              module_before.substr(second_line));
  Result dry_delete = Marquill({"shortcut", "delete", "#0", "--dry-run"});
  EXPECT_EQ(dry_delete.out,
            "dry run, Marquill.mdb unchanged: would have deleted shortcut 'Twin'\n");
  EXPECT_EQ(Marquill({"shortcut", "list"}).out, "Twin\nTwin\n");
  EXPECT_EQ(Marquill({"shortcut", "delete", "#0"}).code, 0);
  EXPECT_EQ(Marquill({"shortcut", "list"}).out, "Twin\n");
  // The module named by its file, as every command's --module takes it.
  Result paste_kept = Marquill({"shortcut", "paste", "Twin", "--module",
                                (work_ / "project" / "modMain.bas").string(), "--line", "1",
                                "--dry-run", Vbp().string()});
  EXPECT_NE(paste_kept.out.find("+' one"), std::string::npos) << "the deleted one's twin stays";
}

struct ShortcutRefusal {
  const char* name;
  std::vector<std::string> args;
  int code;
  const char* err;
};

class ShortcutRefusalTest : public ToolCommandsTest,
                            public testing::WithParamInterface<ShortcutRefusal> {};

TEST_P(ShortcutRefusalTest, SaysWhy) {
  Marquill({"shortcut", "new", "Kept"});
  Result result = Marquill(GetParam().args);
  EXPECT_EQ(result.code, GetParam().code);
  EXPECT_EQ(result.err, GetParam().err);
  EXPECT_EQ(Marquill({"shortcut", "list"}).out, "Kept\n");
}

const ShortcutRefusal kShortcutRefusals[] = {
    {"EmptyName", {"shortcut", "new", ""}, 2, "marquill: A shortcut needs a name.\n"},
    {"LongName",
     {"shortcut", "new", std::string(51, 'x')},
     2,
     "marquill: A shortcut's name has at most 50 characters; this one has 51.\n"},
    {"NameWithALineBreak",
     {"shortcut", "new", "a\nb"},
     2,
     "marquill: A shortcut's name is one line; it cannot hold a line break.\n"},
    {"UnknownName", {"shortcut", "delete", "Gone"}, 2, "marquill: no shortcut named 'Gone'\n"},
    {"PositionPastTheEnd",
     {"shortcut", "save", "#3", "--text", "x"},
     2,
     "marquill: no shortcut at position #3 (there are 1)\n"},
    {"PasteWithoutAProject",
     {"shortcut", "paste", "Kept", "--module", "modMain", "--line", "1"},
     2,
     "marquill: shortcut paste takes NAME PROJECT.vbp\n"},
};

INSTANTIATE_TEST_SUITE_P(Refusals, ShortcutRefusalTest, testing::ValuesIn(kShortcutRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ToolCommandsTest, AGarbageDatabaseIsReportedAndLeftAsItWas) {
  WriteBytes(work_ / "addin" / "Marquill.mdb", "not a database at all");
  Result result = Marquill({"shortcut", "new", "X"});
  EXPECT_EQ(result.code, 1);
  EXPECT_TRUE(result.err.starts_with("marquill: Error with Marquill.mdb !")) << result.err;
  EXPECT_EQ(ReadBytes(work_ / "addin" / "Marquill.mdb"), "not a database at all");
}

TEST_F(ToolCommandsTest, RegsvrQuotesThePathAndRefusesBadOnes) {
  const fs::path server = work_ / "my controls" / "Big Grid.ocx";
  fs::create_directories(server.parent_path());
  WriteBytes(server, "MZ");
  Result dry = Marquill({"regsvr", "unregister", "--dry-run", server.string()});
  EXPECT_EQ(dry.code, 0) << dry.err;
  EXPECT_EQ(dry.out, "would run: " + (work_ / "wine/drive_c/windows/system32/").string() +
                         "regsvr32.exe /u \"" + server.string() + "\"\n");
  Result missing = Marquill({"regsvr", "register", (work_ / "nope.ocx").string()});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(missing.err,
            "marquill: The server file " + (work_ / "nope.ocx").string() + " does not exist.\n");
  setenv("WINEPREFIX", (work_ / "no-wine").c_str(), 1);
  Result no_wine = Marquill({"regsvr", "register", server.string()});
  EXPECT_EQ(no_wine.code, 1);
  EXPECT_EQ(no_wine.err,
            "marquill: regsvr32 is not available: there is no Windows system folder (install "
            "Wine, or set WINEPREFIX to a Wine prefix).\n");
}

TEST_F(ToolCommandsTest, AddinListShowsAndReplacesTheList) {
  WriteBytes(AddinList(), "[Add-Ins32]\r\nOld.Connect=3\r\n");
  EXPECT_EQ(Marquill({"addin-list"}).out, "[Add-Ins32]\nOld.Connect=3\n");
  WriteBytes(work_ / "new.ini", "[Add-Ins32]\nNew.Connect=0\n");
  Result dry = Marquill({"addin-list", "--edit", (work_ / "new.ini").string(), "--dry-run"});
  EXPECT_NE(dry.out.find("\n-Old.Connect=3"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("\n+New.Connect=0"), std::string::npos) << dry.out;
  EXPECT_EQ(ReadBytes(AddinList()), "[Add-Ins32]\r\nOld.Connect=3\r\n");
  EXPECT_EQ(Marquill({"addin-list", "--edit", (work_ / "new.ini").string()}).code, 0);
  EXPECT_EQ(ReadBytes(AddinList()), "[Add-Ins32]\r\nNew.Connect=0\r\n");
  fs::remove(AddinList());
  Result missing = Marquill({"addin-list"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err,
            "marquill: Cannot read " + AddinList().string() + ": it does not exist.\n");
}

}  // namespace
}  // namespace marquill::cli

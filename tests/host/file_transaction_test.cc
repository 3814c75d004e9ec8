#include "host/files/file_transaction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "faulty_file_ops.h"
#include "vbfiles_test_support.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;
using testing::FaultyOps;
using vbfiles::testing::ReadBytes;
using vbfiles::testing::ScratchDir;
using vbfiles::testing::WriteBytes;

std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_directory()) {
      files[entry.path().lexically_relative(folder).string()] =
          entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string()
                             : ReadBytes(entry.path());
    }
  }
  return files;
}

// A project-like folder: a main file, two files beside it, one in a subfolder, and one new file
// the save creates.
struct Fixture {
  ScratchDir dir;
  std::map<std::string, std::string> old_files{{"P.vbp", "Module=A; A.bas\r\n"},
                                               {"A.bas", "old a"},
                                               {"B.cls", "old b"},
                                               {"sub/C.frm", "old c"}};
  std::map<std::string, std::string> new_files{{"P.vbp", "Module=A; A.bas\r\nName=\"P\"\r\n"},
                                               {"A.bas", "new a, longer"},
                                               {"B.cls", "new b"},
                                               {"sub/C.frm", "new c"},
                                               {"sub/C.frx", "new side file"}};

  Fixture() {
    for (const auto& [name, bytes] : old_files) WriteBytes(dir / name, bytes);
  }
  std::string Journal() const { return JournalBeside((dir / "P.vbp").string()); }
  void Save(FileOps& ops) {
    FileTransaction transaction(Journal(), ops);
    for (const auto& [name, bytes] : new_files) transaction.Stage((dir / name).string(), bytes);
    transaction.Commit();
  }
  // What the next run finds: the journal played, stray temporaries removed, then the folder.
  std::map<std::string, std::string> NextRun(Recovery& recovery) const {
    recovery = RecoverInterrupted(Journal());
    std::vector<std::string> files{Journal()};
    for (const auto& [name, bytes] : new_files) files.push_back((dir / name).string());
    RemoveStrayTemporaries(files);
    return FilesIn(dir.path());
  }
};

TEST(FileTransactionTest, CommitReplacesEveryFileKeepsModesAndLeavesNothingBehind) {
  Fixture fixture;
  ASSERT_EQ(::chmod((fixture.dir / "A.bas").c_str(), 0640), 0);
  fixture.Save(SystemFileOps());
  EXPECT_EQ(FilesIn(fixture.dir.path()), fixture.new_files);
  struct stat info {};
  ASSERT_EQ(::stat((fixture.dir / "A.bas").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(FileTransactionTest, ALinkStaysALinkAndTheFileItNamesGetsTheNewContents) {
  ScratchDir dir;
  WriteBytes(dir / "shared/Common.bas", "old");
  fs::create_directory(dir / "project");
  fs::create_symlink("../shared/Common.bas", dir / "project/Common.bas");
  FileTransaction transaction(JournalBeside((dir / "project/P.vbp").string()));
  transaction.Stage((dir / "project/Common.bas").string(), "new");
  transaction.Commit();
  EXPECT_EQ(FilesIn(dir.path()),
            (std::map<std::string, std::string>{{"project/Common.bas", "-> ../shared/Common.bas"},
                                                {"shared/Common.bas", "new"}}));
}

TEST(FileTransactionTest, ReadOnlyFilesStopTheWholeSaveBeforeAnythingIsReplaced) {
  struct Case {
    const char* name;
    std::vector<std::string> read_only;
  };
  const Case cases[] = {
      {"one file", {"B.cls"}},
      {"the main file and one in a folder", {"P.vbp", "sub/C.frm"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fixture;
    for (const std::string& name : c.read_only) {
      ASSERT_EQ(::chmod((fixture.dir / name).c_str(), 0444), 0);
    }
    try {
      fixture.Save(SystemFileOps());
      ADD_FAILURE() << "saved over read-only files";
    } catch (const TransactionError& error) {
      std::vector<std::string> expected;
      for (const std::string& name : c.read_only) expected.push_back((fixture.dir / name).string());
      EXPECT_EQ(error.read_only(), expected);
    }
    EXPECT_EQ(FilesIn(fixture.dir.path()), fixture.old_files);
  }
}

TEST(FileTransactionTest, AReadOnlyFileBehindALinkIsLeftToo) {
  Fixture fixture;
  WriteBytes(fixture.dir / "locked.bas", "locked");
  ASSERT_EQ(::chmod((fixture.dir / "locked.bas").c_str(), 0444), 0);
  fs::create_symlink("locked.bas", fixture.dir / "D.bas");
  FileTransaction transaction(fixture.Journal());
  transaction.Stage((fixture.dir / "A.bas").string(), "new a");
  transaction.Stage((fixture.dir / "D.bas").string(), "new d");
  EXPECT_THROW(transaction.Commit(), TransactionError);
  EXPECT_EQ(ReadBytes(fixture.dir / "A.bas"), "old a");
  EXPECT_EQ(ReadBytes(fixture.dir / "locked.bas"), "locked");
}

TEST(FileTransactionTest, AFailedRenamePutsBackWhatWasAlreadyReplaced) {
  struct Case {
    const char* failing;
    const char* message;
  };
  // Targets are renamed in the order they were staged (by name here).
  const Case cases[] = {
      {"A.bas", "cannot replace the file: Operation not permitted; nothing was saved"},
      {"B.cls", "the file replaced before it was put back; nothing was saved"},
      {"P.vbp", "the 2 files replaced before it were put back; nothing was saved"},
      {"sub/C.frx", "the 4 files replaced before it were put back; nothing was saved"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    Fixture fixture;
    FaultyOps ops;
    ops.fail_rename_of = (fixture.dir / c.failing).string();
    try {
      fixture.Save(ops);
      ADD_FAILURE() << "the save went through";
    } catch (const TransactionError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
    EXPECT_EQ(FilesIn(fixture.dir.path()), fixture.old_files) << "the new side file is gone too";
  }
}

// A kill at every step of a save: what the next run finds is the old project or the new one,
// never a mix, and nothing of the save is left beside the files.
TEST(FileTransactionTest, AKillAtAnyStepEndsAllOldOrAllNewAfterTheNextRun) {
  std::set<std::string> outcomes;
  for (int step = 0;; ++step) {
    SCOPED_TRACE("killed at step " + std::to_string(step));
    Fixture fixture;
    FaultyOps ops;
    ops.die_at = step;
    bool finished = false;
    try {
      fixture.Save(ops);
      finished = ops.calls <= step;
    } catch (const TransactionError&) {
    }
    Recovery recovery;
    const auto after = fixture.NextRun(recovery);
    EXPECT_TRUE(recovery.problems.empty());
    const bool all_new = after == fixture.new_files;
    EXPECT_TRUE(all_new || after == fixture.old_files);
    outcomes.insert(all_new ? "new" : "old");
    if (all_new && recovery.outcome == Recovery::Outcome::kCompleted) outcomes.insert("completed");
    if (finished) break;
    ASSERT_LT(step, 200) << "the save never finished";
  }
  // Kills before the journal give the old project, kills after it the new one by recovery.
  EXPECT_EQ(outcomes, (std::set<std::string>{"old", "new", "completed"}));
}

// A kill while a failed save puts files back: the next run finishes putting them back.
TEST(FileTransactionTest, AKillWhilePuttingBackEndsAllOld) {
  bool killed_while_putting_back = false;
  for (int step = 0;; ++step) {
    SCOPED_TRACE("killed at step " + std::to_string(step));
    Fixture fixture;
    FaultyOps ops;
    ops.fail_rename_of = (fixture.dir / "sub/C.frx").string();
    ops.die_at = step;
    EXPECT_THROW(fixture.Save(ops), TransactionError);
    Recovery recovery;
    const auto after = fixture.NextRun(recovery);
    EXPECT_TRUE(recovery.problems.empty());
    EXPECT_TRUE(after == fixture.old_files || after == fixture.new_files);
    // Once the journal says to put back (its second version), only the old project may come out.
    const bool putting_back =
        std::count(ops.renamed_onto.begin(), ops.renamed_onto.end(), fixture.Journal()) == 2;
    if (putting_back) {
      EXPECT_EQ(after, fixture.old_files);
    }
    if (ops.calls <= step) break;  // the run was not cut short
    killed_while_putting_back = killed_while_putting_back || putting_back;
    ASSERT_LT(step, 200);
  }
  EXPECT_TRUE(killed_while_putting_back);
}

// After a power cut, new files the journal names may have lost their bytes: then the recovery
// puts every old file back rather than complete the save with a short file.
TEST(RecoverInterruptedTest, ANewFileCutShortMakesItPutTheOldFilesBack) {
  struct Case {
    const char* cut;  // the file whose new bytes were lost
    bool renamed;     // it was renamed over its target before the cut
  };
  // The kill comes at the rename onto P.vbp: A.bas and B.cls are new already, the others not.
  const Case cases[] = {{"A.bas", true}, {"sub/C.frm", false}, {"sub/C.frx", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cut);
    Fixture fixture;
    FaultyOps ops;
    ops.die_renaming_onto = (fixture.dir / "P.vbp").string();
    EXPECT_THROW(fixture.Save(ops), TransactionError);
    const fs::path cut = fixture.dir / c.cut;
    for (const auto& entry : fs::directory_iterator(cut.parent_path())) {
      const std::string name = entry.path().filename().string();
      const bool temporary =
          name.starts_with("." + cut.filename().string() + ".marquill-") && !name.ends_with(".old");
      if (c.renamed ? entry.path() == cut : temporary) fs::resize_file(entry.path(), 0);
    }
    const Recovery recovery = RecoverInterrupted(fixture.Journal());
    EXPECT_EQ(recovery.outcome, Recovery::Outcome::kRolledBack);
    EXPECT_TRUE(recovery.problems.empty());
    EXPECT_EQ(FilesIn(fixture.dir.path()), fixture.old_files);
  }
}

TEST(RecoverInterruptedTest, AJournalThatIsNotOursMovesNothing) {
  struct Case {
    const char* name;
    std::string journal;  // {DIR} stands for the folder
  };
  const std::string header = "marquill journal 1\nF\n";
  const std::string nul(1, '\0');
  const Case cases[] = {
      {"not a journal", "hello\n"},
      {"cut short", header + "{DIR}/A.bas" + nul + "{DIR}/.A.bas.marquill-abc123" + nul},
      {"temporary in another folder",
       header + "{DIR}/A.bas" + nul + "{DIR}/sub/.A.bas.marquill-abc123" + nul + nul + "end\n"},
      {"temporary of another file",
       header + "{DIR}/A.bas" + nul + "{DIR}/.B.cls.marquill-abc123" + nul + nul + "end\n"},
      {"outside file as temporary",
       header + "{DIR}/A.bas" + nul + "{DIR}/B.cls" + nul + nul + "end\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture fixture;
    WriteBytes(fixture.dir / ".A.bas.marquill-abc123", "planted");
    WriteBytes(fixture.dir / ".B.cls.marquill-abc123", "planted");
    std::string journal = c.journal;
    for (std::size_t at; (at = journal.find("{DIR}")) != std::string::npos;)
      journal.replace(at, 5, fixture.dir.path().string());
    WriteBytes(fixture.Journal(), journal);
    const Recovery recovery = RecoverInterrupted(fixture.Journal());
    EXPECT_EQ(recovery.outcome, Recovery::Outcome::kNothing);
    ASSERT_EQ(recovery.problems.size(), 1u);
    EXPECT_EQ(ReadBytes(fixture.dir / "A.bas"), "old a");
    EXPECT_EQ(ReadBytes(fixture.dir / "B.cls"), "old b");
    EXPECT_TRUE(fs::exists(fixture.Journal())) << "kept for the user to look at";
  }
}

TEST(RecoverInterruptedTest, AJournalThatIsNotARegularFileIsRefusedWithoutReading) {
  ScratchDir dir;
  const std::string journal = JournalBeside((dir / "P.vbp").string());
  ASSERT_EQ(::mkfifo(journal.c_str(), 0644), 0);
  const Recovery recovery = RecoverInterrupted(journal);  // must not hang
  EXPECT_EQ(recovery.outcome, Recovery::Outcome::kNothing);
  EXPECT_EQ(recovery.problems.size(), 1u);
}

TEST(RemoveStrayTemporariesTest, RemovesOnlyTemporariesOfTheGivenFilesAndTheirSideFiles) {
  struct Case {
    const char* file;
    bool removed;
  };
  const Case cases[] = {
      {".A.bas.marquill-Ab12cd", true},
      {".A.bas.marquill-Ab12cd.old", true},
      {".Form1.frx.marquill-xY9876", true},  // side file of Form1.frm
      {"..P.vbp.marquill-journal.marquill-q1w2e3", true},
      {".Other.bas.marquill-Ab12cd", false},
      {".A.bas.marquill-Ab12c", false},
      {".A.bas.marquill-Ab12c!", false},
      {".A.bas.marquill-Ab12cd.bak", false},
      {"A.bas.marquill-Ab12cd", false},
      {"A.bas", false},
  };
  ScratchDir dir;
  for (const Case& c : cases) WriteBytes(dir / c.file, "x");
  const std::size_t removed =
      RemoveStrayTemporaries({(dir / "A.bas").string(), (dir / "Form1.frm").string(),
                              JournalBeside((dir / "P.vbp").string())});
  std::size_t expected = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(fs::exists(dir / c.file), !c.removed) << c.file;
    expected += c.removed ? 1 : 0;
  }
  EXPECT_EQ(removed, expected);
}

TEST(IsReadOnlyFileTest, NoWriteBitMeansReadOnlyEvenForTheSuperUser) {
  struct Case {
    mode_t mode;
    bool read_only;
  };
  const Case cases[] = {{0644, false}, {0600, false}, {0444, true}, {0400, true}, {0000, true}};
  ScratchDir dir;
  for (const Case& c : cases) {
    const fs::path file = dir / ("f" + std::to_string(c.mode));
    WriteBytes(file, "x");
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    EXPECT_EQ(IsReadOnlyFile(file.string()), c.read_only) << std::oct << c.mode;
  }
  EXPECT_FALSE(IsReadOnlyFile((dir / "missing").string()));
}

}  // namespace
}  // namespace marquill::host

// Saving a project on disk: all files or none, read-only files left alone, links kept, and an
// interrupted save finished or cleared away by the next load.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "faulty_file_ops.h"
#include "host/files/file_transaction.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/vb_project.h"
#include "vbfiles_test_support.h"

namespace marquill::host::vbfiles {
namespace {

namespace fs = std::filesystem;
using ::marquill::host::testing::FaultyOps;
using ::marquill::host::vbfiles::testing::CopyTree;
using ::marquill::host::vbfiles::testing::ReadBytes;
using ::marquill::host::vbfiles::testing::ScratchDir;
using ::marquill::host::vbfiles::testing::SourceDir;
using ::marquill::host::vbfiles::testing::WriteBytes;

// Every entry below `folder` (hidden ones too), links shown as links.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_directory()) continue;
    files[entry.path().lexically_relative(folder).string()] =
        entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string()
                           : ReadBytes(entry.path());
  }
  return files;
}

class SampleProject {
 public:
  SampleProject() : folder_(CopyTree(SourceDir() / "samples", scratch_, "sample")) {}
  const fs::path& folder() const { return folder_; }
  fs::path vbp() const { return folder_ / "Marquill.vbp"; }
  // Adds a comment line at the top of each named module.
  static void Edit(VbProject& project, const std::vector<std::string>& modules) {
    for (const std::string& name : modules)
      project.Project().Components().Item(name).CodeModule()->InsertLines(1, "' edited");
  }

 private:
  ScratchDir scratch_;
  fs::path folder_;
};

TEST(VbProjectSaveTest, ReadOnlyFilesAreNamedAndNothingIsWritten) {
  struct Case {
    const char* name;
    std::vector<std::string> edited;
    std::vector<std::string> read_only;  // files
    const char* message_tail;
  };
  const Case cases[] = {
      {"one of two", {"modMain", "clsCounter"}, {"clsCounter.cls"}, "clsCounter.cls"},
      {"both", {"modMain", "clsCounter"}, {"modMain.bas", "clsCounter.cls"}, "modMain.bas"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SampleProject sample;
    for (const std::string& file : c.read_only)
      ASSERT_EQ(::chmod((sample.folder() / file).c_str(), 0444), 0);
    auto project = VbProject::Load(sample.vbp());
    SampleProject::Edit(*project, c.edited);
    const auto before = Snapshot(sample.folder());
    try {
      project->Save();
      ADD_FAILURE() << "saved";
    } catch (const SaveError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("nothing was saved: read-only files are left as they are"),
                std::string::npos);
      for (const std::string& file : c.read_only)
        EXPECT_NE(message.find((sample.folder() / file).string()), std::string::npos) << file;
      EXPECT_TRUE(message.ends_with(c.message_tail)) << message;
    }
    EXPECT_EQ(Snapshot(sample.folder()), before);
  }
}

TEST(VbProjectSaveTest, AComponentReachedThroughALinkIsWrittenThroughIt) {
  SampleProject sample;
  const fs::path shared = sample.folder().parent_path() / "shared";
  fs::create_directory(shared);
  fs::rename(sample.folder() / "modMain.bas", shared / "modMain.bas");
  fs::create_symlink("../shared/modMain.bas", sample.folder() / "modMain.bas");
  {
    auto project = VbProject::Load(sample.vbp());
    SampleProject::Edit(*project, {"modMain"});
    project->Save();
  }
  EXPECT_TRUE(fs::is_symlink(sample.folder() / "modMain.bas"));
  EXPECT_TRUE(ReadBytes(shared / "modMain.bas").starts_with("Attribute VB_Name"));
  EXPECT_NE(ReadBytes(shared / "modMain.bas").find("' edited"), std::string::npos);
  EXPECT_EQ(Snapshot(shared).size(), 1u) << "nothing left beside the file";
}

// The state a killed save leaves, made with a file interface that dies at a chosen moment.
TEST(VbProjectSaveTest, TheNextLoadFinishesOrClearsAnInterruptedSave) {
  struct Case {
    const char* name;
    const char* die_renaming_onto;  // the kill: at the rename onto this file
    bool new_contents;
    const char* notice;
  };
  const Case cases[] = {
      {"killed before the journal", ".Marquill.vbp.marquill-journal", false,
       "removed 5 temporary files left by a save that was interrupted"},
      {"killed after the first file", "modMain.bas", true,
       "completed a save that was interrupted: 2 files now hold their new contents"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SampleProject sample;
    const auto old_files = Snapshot(sample.folder());
    std::map<std::string, std::string> new_files = old_files;
    {
      FaultyOps ops;
      ops.die_renaming_onto = (sample.folder() / c.die_renaming_onto).string();
      FileTransaction transaction(JournalBeside(sample.vbp().string()), ops);
      for (const char* name : {"clsCounter.cls", "modMain.bas"}) {
        new_files[name] = old_files.at(name) + "' saved\r\n";
        transaction.Stage((sample.folder() / name).string(), new_files[name]);
      }
      EXPECT_THROW(transaction.Commit(), TransactionError);
    }
    auto project = VbProject::Load(sample.vbp());
    ASSERT_EQ(project->Notices().size(), 1u);
    EXPECT_NE(project->Notices()[0].find(c.notice), std::string::npos) << project->Notices()[0];
    EXPECT_EQ(Snapshot(sample.folder()), c.new_contents ? new_files : old_files);
    EXPECT_TRUE(VbProject::Load(sample.vbp())->Notices().empty()) << "once only";
  }
}

TEST(VbProjectSaveTest, AJournalThatCannotBeFollowedStopsTheLoad) {
  SampleProject sample;
  WriteBytes(JournalBeside(sample.vbp().string()), "not a journal");
  EXPECT_THROW(VbProject::Load(sample.vbp()), LoadError);
}

}  // namespace
}  // namespace marquill::host::vbfiles

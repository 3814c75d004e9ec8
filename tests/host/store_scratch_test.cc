// A scratch copy of the add-in database: read from the file, written nowhere.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/store/connection.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string FirstShortcut(Connection& connection) {
  Recordset rows;
  rows.Open("SELECT ShortcutName FROM Shortcuts ORDER BY ID", connection);
  return rows.Eof() ? "" : rows.Field(0).Text();
}

class ScratchCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "marquill-scratch-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path File() const { return root_ / "addin" / "Marquill.mdb"; }
  fs::path root_;
};

TEST_F(ScratchCopyTest, MissingFileStaysMissingWhileTheCopyWorks) {
  Connection scratch;
  scratch.Open(File(), OpenMode::kScratchCopy);
  EXPECT_EQ(scratch.Execute("INSERT INTO Shortcuts(ShortcutName) VALUES('a')"), 1);
  EXPECT_EQ(FirstShortcut(scratch), "a");
  Recordset comments;
  comments.Open("SELECT * FROM Comments", scratch);
  EXPECT_FALSE(comments.Eof()) << "the default row is there";
  EXPECT_FALSE(fs::exists(File().parent_path()));
}

TEST_F(ScratchCopyTest, ExistingFileIsReadButNeverWritten) {
  {
    Connection real;
    real.Open(File());
    real.Execute("INSERT INTO Shortcuts(ShortcutName) VALUES('kept')");
  }
  const std::string before = Bytes(File());
  Connection scratch;
  scratch.Open(File(), OpenMode::kScratchCopy);
  EXPECT_EQ(FirstShortcut(scratch), "kept");
  scratch.Execute("UPDATE Shortcuts SET ShortcutName = 'changed'");
  scratch.Execute("DROP TABLE Comments");
  EXPECT_EQ(FirstShortcut(scratch), "changed");
  scratch.Close();
  EXPECT_EQ(Bytes(File()), before);
}

TEST_F(ScratchCopyTest, FileThatIsNoDatabaseIsRefused) {
  fs::create_directories(File().parent_path());
  std::ofstream(File(), std::ios::binary) << "text, not a database\n";
  Connection scratch;
  EXPECT_THROW(scratch.Open(File(), OpenMode::kScratchCopy), StoreError);
  EXPECT_EQ(scratch.State(), kStateClosed);
}

}  // namespace
}  // namespace marquill::host

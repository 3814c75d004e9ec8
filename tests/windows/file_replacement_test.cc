// Files replaced the Windows way: in one step, never over a read-only file, and never half-way
// when another program holds the file open.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "host/files/file_io.h"
#include "host/files/file_transaction.h"
#include "windows_test_support.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class FileReplacementTest : public windows_test::TempFolderTest {
 protected:
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  // Every name in the folder: no temporary may be left behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(FileReplacementTest, ReplacesNewAndExistingFilesByteForByte) {
  struct Row {
    const char* name;
    std::string before;  // "" : no file yet
    std::string after;
  };
  const std::vector<Row> rows = {
      {"new.bas", "", "Attribute VB_Name = \"New\"\r\n"},
      {"old.bas", "old\r\n", "new\r\nlines\r\n"},
      {"lf.bas", "a\nb\n", "a\nb\nc\n"},  // no line ending is rewritten
      {"empty.bas", "something", ""},
  };
  for (const Row& row : rows) {
    if (!row.before.empty()) Write(row.name, row.before);
    WriteFileAtomically(Path(row.name), row.after);
    EXPECT_EQ(Contents(folder_ / row.name), row.after) << row.name;
  }
  EXPECT_EQ(Names().size(), rows.size());
}

TEST_F(FileReplacementTest, RenameReplacesAnExistingTargetInOneStep) {
  Write("a.tmp", "new");
  Write("a.bas", "old");
  ASSERT_EQ(std::rename(Path("a.tmp").c_str(), Path("a.bas").c_str()), 0);
  EXPECT_EQ(Contents(folder_ / "a.bas"), "new");
  EXPECT_FALSE(fs::exists(folder_ / "a.tmp"));
}

TEST_F(FileReplacementTest, AFileOpenInAnotherProgramIsReportedAndLeftWhole) {
  Write("open.bas", "old contents");
  // Another program's handle that shares reading only: no rename, no delete.
  const HANDLE other = CreateFileW((folder_ / "open.bas").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  try {
    WriteFileAtomically(Path("open.bas"), "new contents");
    ADD_FAILURE() << "the write went through";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::device_or_resource_busy) << error.what();
    EXPECT_NE(std::string(error.what()).find("open.bas"), std::string::npos) << error.what();
  }
  CloseHandle(other);
  EXPECT_EQ(Contents(folder_ / "open.bas"), "old contents");
  EXPECT_EQ(Names(), std::vector<std::string>{"open.bas"}) << "no temporary left";
}

TEST_F(FileReplacementTest, ATransactionLeavesReadOnlyFilesAndWritesNothing) {
  Write("Form1.frm", "form");
  Write("Module1.bas", "module");
  ASSERT_TRUE(SetFileAttributesW((folder_ / "Module1.bas").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(IsReadOnlyFile(Path("Module1.bas")));
  EXPECT_FALSE(IsReadOnlyFile(Path("Form1.frm")));
  try {
    FileTransaction transaction(Path(".Project.vbp.marquill-journal"));
    transaction.Stage(Path("Form1.frm"), "new form");
    transaction.Stage(Path("Module1.bas"), "new module");
    transaction.Commit();
    ADD_FAILURE() << "the transaction went through";
  } catch (const TransactionError& error) {
    ASSERT_EQ(error.read_only().size(), 1u);
    EXPECT_TRUE(fs::equivalent(error.read_only().front(), folder_ / "Module1.bas"));
  }
  EXPECT_EQ(Contents(folder_ / "Form1.frm"), "form");
  EXPECT_EQ(Contents(folder_ / "Module1.bas"), "module");
  EXPECT_EQ(Names().size(), 2u) << "no temporary, journal or old name left";
}

TEST_F(FileReplacementTest, ATransactionStoppedByAnOpenFilePutsEveryFileBack) {
  Write("Form1.frm", "form");
  Write("Module1.bas", "module");
  const HANDLE other = CreateFileW((folder_ / "Module1.bas").c_str(), GENERIC_READ,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_THROW(
      {
        FileTransaction transaction(Path(".Project.vbp.marquill-journal"));
        transaction.Stage(Path("Form1.frm"), "new form");
        transaction.Stage(Path("Module1.bas"), "new module");
        transaction.Commit();
      },
      TransactionError);
  CloseHandle(other);
  EXPECT_EQ(Contents(folder_ / "Form1.frm"), "form");
  EXPECT_EQ(Contents(folder_ / "Module1.bas"), "module");
}

}  // namespace
}  // namespace marquill::host

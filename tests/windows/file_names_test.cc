// File names outside the ANSI code page: the program's UTF-8 names reach the wide Windows calls,
// so a file is read, written and replaced under the name the user sees, and a project lists its
// files in its own code page.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "host/files/file_io.h"
#include "host/files/file_transaction.h"
#include "host/vbfiles/vb_project.h"
#include "windows_test_support.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;

struct NameRow {
  const char* label;
  std::string utf8;   // as the program carries it
  std::wstring wide;  // as the file system shows it
};

// One name per script; "\u" spellings keep the expected wide names independent of the source's
// encoding.
const std::vector<NameRow>& Names() {
  static const std::vector<NameRow> rows = {
      {"accented Latin",
       "Caf\xC3\xA9 \xC3\x91"
       "and\xC3\xBA.bas",
       L"Caf\u00E9 \u00D1and\u00FA.bas"},
      {"Japanese", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.bas", L"\u65E5\u672C\u8A9E.bas"},
      {"Chinese", "\xE4\xB8\xAD\xE6\x96\x87\xE6\xA8\xA1\xE5\x9D\x97.frm",
       L"\u4E2D\u6587\u6A21\u5757.frm"},
      // Two wide characters (a surrogate pair) for one.
      {"beyond 16 bits", "\xF0\x9F\x98\x80 smile.cls", L"\U0001F600 smile.cls"},
  };
  return rows;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class FileNamesTest : public windows_test::TempFolderTest {
 protected:
  // The UTF-8 name of a file in the folder, made without the conversions under test.
  std::string Utf8Path(const std::string& name) const { return folder_.string() + "\\" + name; }
  void WriteWide(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  std::vector<std::wstring> WideNames(const fs::path& folder) const {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().wstring());
    return names;
  }
};

TEST_F(FileNamesTest, Utf8TextBecomesTheWideNameOfAPath) {
  for (const NameRow& row : Names()) {
    EXPECT_EQ(fs::path(row.utf8).wstring(), row.wide) << row.label;
    EXPECT_EQ(fs::path(row.wide).string(), row.utf8) << row.label;
  }
}

TEST_F(FileNamesTest, FilesAreWrittenReadAndReplacedUnderTheirOwnName) {
  for (const NameRow& row : Names()) {
    const std::string path = Utf8Path(row.utf8);
    WriteFileAtomically(path, "first\r\n");
    EXPECT_EQ(Contents(folder_ / row.wide), "first\r\n") << row.label;
    EXPECT_EQ(ReadFile(path), "first\r\n") << row.label;
    WriteFileAtomically(path, "second\r\n");
    EXPECT_EQ(Contents(folder_ / row.wide), "second\r\n") << row.label;
    EXPECT_FALSE(IsReadOnlyFile(path)) << row.label;
  }
  std::vector<std::wstring> expected;
  for (const NameRow& row : Names()) expected.push_back(row.wide);
  std::vector<std::wstring> names = WideNames(folder_);
  std::sort(names.begin(), names.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected) << "no temporary, and no name spelled in another code page";
}

TEST_F(FileNamesTest, AFolderNamedInAnyScriptHoldsATransaction) {
  const NameRow& folder_name = Names()[1];
  fs::create_directory(folder_ / folder_name.wide);
  const std::string folder = Utf8Path(folder_name.utf8);
  FileTransaction transaction(folder + "\\.P.vbp.marquill-journal");
  for (const NameRow& row : Names()) {
    WriteWide(folder_ / folder_name.wide / row.wide, "old " + row.utf8);
    transaction.Stage(folder + "\\" + row.utf8, "new " + row.utf8);
  }
  transaction.Commit();
  for (const NameRow& row : Names())
    EXPECT_EQ(Contents(folder_ / folder_name.wide / row.wide), "new " + row.utf8) << row.label;
  EXPECT_EQ(WideNames(folder_ / folder_name.wide).size(), Names().size())
      << "no temporary, old name or journal left";
}

// The environment names folders too (APPDATA holds the user's name).
TEST_F(FileNamesTest, EnvironmentValuesReadAsUtf8) {
  std::vector<const char*> given;
  for (const NameRow& row : Names()) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"MARQUILL_TEST_NAME", row.wide.c_str()));
    const char* value = std::getenv("MARQUILL_TEST_NAME");
    ASSERT_NE(value, nullptr) << row.label;
    EXPECT_EQ(std::string(value), row.utf8) << row.label;
    given.push_back(value);
  }
  // A value handed out stays readable after the variable changes.
  for (std::size_t i = 0; i < given.size(); ++i)
    EXPECT_EQ(std::string(given[i]), Names()[i].utf8) << Names()[i].label;
  SetEnvironmentVariableW(L"MARQUILL_TEST_NAME", nullptr);
  EXPECT_EQ(std::getenv("MARQUILL_TEST_NAME"), nullptr);
}

struct ListedRow {
  const char* label;
  std::string listed;  // the bytes the .vbp holds
  std::wstring on_disk;
};

TEST_F(FileNamesTest, AProjectFindsFilesListedInItsOwnCodePageAndSavesThem) {
  const std::vector<ListedRow> rows = {
      {"UTF-8", "Caf\xC3\xA9.bas", L"Caf\u00E9.bas"},
      {"Windows-1252", "Caf\xE9.bas", L"Caf\u00E9.bas"},
      // Also valid Windows-1252 (the machine's page under test), which names no file.
      {"Shift-JIS", "\x93\xFA\x96\x7B.bas", L"\u65E5\u672C.bas"},
      // Also valid Windows-1252 and Shift-JIS (half-width katakana).
      {"GBK", "\xD6\xD0\xCE\xC4.bas", L"\u4E2D\u6587.bas"},
  };
  int number = 0;
  for (const ListedRow& row : rows) {
    const fs::path folder = folder_ / ("project" + std::to_string(++number));
    fs::create_directory(folder);
    const std::string vbp = "Type=Exe\r\nModule=Module1; " + row.listed + "\r\nName=\"P\"\r\n";
    WriteWide(folder / L"P.vbp", vbp);
    WriteWide(folder / row.on_disk, "Attribute VB_Name = \"Module1\"\r\nSub A()\r\nEnd Sub\r\n");
    try {
      auto project = vbfiles::VbProject::Load(folder / L"P.vbp");
      ASSERT_EQ(project->Entries().size(), 1u) << row.label;
      const auto& entry = project->Entries().front();
      ASSERT_NE(entry.component, nullptr) << row.label;
      EXPECT_EQ(entry.path.filename().wstring(), row.on_disk) << row.label;
      entry.component->CodeModule()->InsertLines(1, "' edited");
      project->Save();
    } catch (const std::exception& error) {
      ADD_FAILURE() << row.label << ": " << error.what();
      continue;
    }
    EXPECT_EQ(Contents(folder / row.on_disk),
              "Attribute VB_Name = \"Module1\"\r\n' edited\r\nSub A()\r\nEnd Sub\r\n")
        << row.label;
    EXPECT_EQ(Contents(folder / L"P.vbp"), vbp) << row.label << ": the listing is kept as written";
    EXPECT_EQ(WideNames(folder).size(), 2u) << row.label;
  }
}

// Another program's handle that shares reading only, or nothing at all.
class HeldFile {
 public:
  HeldFile(const fs::path& path, DWORD share)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

TEST_F(FileNamesTest, AFileOpenInAnotherProgramIsSaidToBeSo) {
  const NameRow& row = Names()[0];
  WriteWide(folder_ / row.wide, "old");
  {
    const HeldFile other(folder_ / row.wide, FILE_SHARE_READ);
    ASSERT_TRUE(other.Held());
    try {
      WriteFileAtomically(Utf8Path(row.utf8), "new");
      ADD_FAILURE() << "the write went through";
    } catch (const std::system_error& error) {
      EXPECT_NE(std::string(error.what()).find("open in another program"), std::string::npos)
          << error.what();
    }
  }
  {
    const HeldFile other(folder_ / row.wide, 0);
    ASSERT_TRUE(other.Held());
    try {
      ReadFile(Utf8Path(row.utf8));
      ADD_FAILURE() << "the read went through";
    } catch (const std::system_error& error) {
      EXPECT_EQ(error.code(), std::errc::device_or_resource_busy) << error.what();
      EXPECT_NE(std::string(error.what()).find("open in another program"), std::string::npos)
          << error.what();
    }
  }
  EXPECT_EQ(Contents(folder_ / row.wide), "old");
  EXPECT_EQ(WideNames(folder_).size(), 1u) << "no temporary left";
}

TEST_F(FileNamesTest, ATransactionStoppedByAnOpenFileLeavesNoSecondName) {
  WriteWide(folder_ / L"Form1.frm", "form");
  WriteWide(folder_ / L"Module1.bas", "module");
  {
    const HeldFile other(folder_ / L"Module1.bas", FILE_SHARE_READ);
    ASSERT_TRUE(other.Held());
    FileTransaction transaction(Utf8Path(".P.vbp.marquill-journal"));
    transaction.Stage(Utf8Path("Form1.frm"), "new form");
    transaction.Stage(Utf8Path("Module1.bas"), "new module");
    try {
      transaction.Commit();
      ADD_FAILURE() << "the transaction went through";
    } catch (const TransactionError& error) {
      EXPECT_NE(std::string(error.what())
                    .find("Module1.bas: cannot replace the file: the file "
                          "is open in another program"),
                std::string::npos)
          << error.what();
    }
  }
  EXPECT_EQ(Contents(folder_ / L"Form1.frm"), "form");
  EXPECT_EQ(Contents(folder_ / L"Module1.bas"), "module");
  EXPECT_EQ(WideNames(folder_).size(), 2u) << "no old name kept of the held file";
}

}  // namespace
}  // namespace marquill::host

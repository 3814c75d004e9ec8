// The add-in's folders and the names in project files, as Windows spells paths.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "host/paths/paths_win.h"
#include "host/vbfiles/code_page.h"
#include "host/vbfiles/text_file.h"
#include "windows_test_support.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;

EnvLookup Env(std::vector<std::pair<std::string, std::string>> values) {
  return [values](const char* name) -> std::optional<std::string> {
    for (const auto& [key, value] : values)
      if (key == name) return value;
    return std::nullopt;
  };
}

class AddInFolderTest : public windows_test::TempFolderTest {};

TEST_F(AddInFolderTest, TheProgramsFolderWhenItCanBeWritten) {
  const fs::path folder = WindowsAddInFolder(folder_, Env({{"APPDATA", "C:\\Roaming"}}));
  EXPECT_EQ(folder.string(), folder_.string() + "\\");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 0)
      << "the probe file is gone";
}

TEST_F(AddInFolderTest, TheUsersRoamingFolderWhenTheProgramsCannotBeWritten) {
  const fs::path closed = folder_ / "not-there";
  EXPECT_EQ(WindowsAddInFolder(closed, Env({{"APPDATA", "C:\\Users\\ann\\AppData\\Roaming"}}))
                .string(),
            "C:\\Users\\ann\\AppData\\Roaming\\Marquill\\");
  EXPECT_THROW(WindowsAddInFolder(closed, Env({{"APPDATA", ""}})), PathError);
}

TEST_F(AddInFolderTest, MarquillHomeNamesTheFolderOutright) {
  EXPECT_EQ(AddInFolder(Env({{"MARQUILL_HOME", Path("home")}})).string(), Path("home") + "\\");
  EXPECT_EQ(DatabaseFile(Env({{"MARQUILL_HOME", Path("home")}})).string(),
            Path("home") + "\\Marquill.mdb");
}

TEST(ProgramFolderTest, HoldsTheRunningProgram) {
  EXPECT_TRUE(fs::exists(ProgramFolder() / "windows_tests.exe")) << ProgramFolder();
}

// Names a project file lists, found from the project's folder.
class ListedPathTest : public windows_test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    fs::create_directories(folder_ / "Forms");
    std::ofstream(folder_ / "Forms" / "Main.frm") << "x";
    std::ofstream(folder_ / "Module1.bas") << "x";
  }
};

// The last parts of `path`, as many as `like` has.
fs::path LastParts(const fs::path& path, const fs::path& like) {
  std::vector<fs::path> parts(path.begin(), path.end());
  const auto count = static_cast<std::size_t>(std::distance(like.begin(), like.end()));
  fs::path last;
  for (std::size_t i = parts.size() - std::min(count, parts.size()); i < parts.size(); ++i)
    last /= parts[i];
  return last;
}

TEST_F(ListedPathTest, FindsDriveLettersBackslashesAndOtherCases) {
  const std::string absolute = folder_.string();  // "C:\...\marquill-test-..."
  struct Row {
    const char* name;
    std::string listed;
    std::optional<std::string> found;  // below the folder; nullopt: not found
  };
  const std::vector<Row> rows = {
      {"relative with backslash", "Forms\\Main.frm", "Forms\\Main.frm"},
      {"other case", "forms\\MAIN.FRM", "Forms\\Main.frm"},
      {"drive letter", absolute + "\\Module1.bas", "Module1.bas"},
      {"drive letter, forward slashes", fs::path(absolute).generic_string() + "/Module1.bas",
       "Module1.bas"},
      {"lower-case drive", std::string(1, static_cast<char>(std::tolower(absolute[0]))) +
                               absolute.substr(1) + "\\Forms\\Main.frm",
       "Forms\\Main.frm"},
      {"dot dot", "Forms\\..\\Module1.bas", "Module1.bas"},
      {"missing", "Forms\\Gone.frm", std::nullopt},
  };
  for (const Row& row : rows) {
    const fs::path found = vbfiles::ResolveListedPath(folder_, row.listed);
    if (!row.found) {
      EXPECT_TRUE(found.empty()) << row.name << ": " << found;
      continue;
    }
    ASSERT_FALSE(found.empty()) << row.name;
    EXPECT_TRUE(fs::equivalent(found, folder_ / *row.found)) << row.name << ": " << found;
    // Named as on disk, whatever the listing's letter case: one file has one name.
    EXPECT_EQ(LastParts(found, *row.found), fs::path(*row.found)) << row.name << ": " << found;
  }
}

// A share is never a folder below the project, even when one there has its name.
TEST_F(ListedPathTest, AShareNameKeepsItsRoot) {
  fs::create_directories(folder_ / "server" / "share");
  std::ofstream(folder_ / "server" / "share" / "Module2.bas") << "x";
  EXPECT_TRUE(vbfiles::ResolveListedPath(folder_, "\\\\server\\share\\Module2.bas").empty());
}

TEST(MachineCodePageTest, IsTheAnsiCodePageAndComesFirst) {
  EXPECT_EQ(vbfiles::MachineCodePage(), static_cast<int>(GetACP()));
  EXPECT_EQ(vbfiles::CodePagesToTry("Module1.bas", 0).front(), static_cast<int>(GetACP()));
}

}  // namespace
}  // namespace marquill::host

#include "external/external_tools.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/support/named_rows.h"

namespace marquill::external {
namespace {

struct CommandLineCase {
  const char* name;
  const char* folder;
  const char* file;
  bool unregister;
  const char* command_line;
};

class RegistrationCommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(RegistrationCommandLineTest, QuotesTheFileAsOneArgument) {
  const CommandLineCase& row = GetParam();
  EXPECT_EQ(RegistrationCommandLine(row.folder, row.file, row.unregister), row.command_line);
}

const CommandLineCase kCommandLines[] = {
    {"Register", "/w/system32/", "/x/Grid.ocx", false, "/w/system32/regsvr32.exe \"/x/Grid.ocx\""},
    {"Unregister", "/w/system32/", "/x/Grid.ocx", true,
     "/w/system32/regsvr32.exe /u \"/x/Grid.ocx\""},
    {"PathWithBlanks", "/w/system32/", "/my controls/Big Grid.ocx", false,
     "/w/system32/regsvr32.exe \"/my controls/Big Grid.ocx\""},
};

INSTANTIATE_TEST_SUITE_P(Lines, RegistrationCommandLineTest, testing::ValuesIn(kCommandLines),
                         host::test::RowName());

TEST(ServerFileProblemTest, WantsAnExistingFileWithoutQuotes) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("marquill-server " + std::to_string(getpid()));
  std::ofstream(file) << "MZ";
  EXPECT_EQ(ServerFileProblem(file.string()), "");
  std::filesystem::remove(file);
  EXPECT_EQ(ServerFileProblem(file.string()),
            "The server file " + file.string() + " does not exist.");
  EXPECT_EQ(ServerFileProblem("/x/a\" & rm -rf ~ & \".ocx"),
            "The server file name /x/a\" & rm -rf ~ & \".ocx holds a double quote; regsvr32 "
            "would read it as two arguments.");
  EXPECT_NE(ServerFileProblem(std::filesystem::temp_directory_path().string()), "")
      << "a folder is no server";
}

TEST(AddinListPathTest, LiesInTheWindowsFolder) {
  EXPECT_EQ(AddinListPath("/wine/drive_c/windows"), "/wine/drive_c/windows/vbaddin.ini");
  EXPECT_EQ(AddinListPath("/wine/drive_c/windows/"), "/wine/drive_c/windows/vbaddin.ini");
}

}  // namespace
}  // namespace marquill::external

// `info` and `check` on projects as people have them: what they print, what they warn of, and
// how they refuse what they cannot read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_app.h"
#include "cli/command_registry.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

using Result = test::CliResult;

Result Marquill(std::vector<std::string> args) { return test::RunMarquill(std::move(args)); }

// A scratch folder whose paths come back as strings, ready to be arguments.
class Folder : public test::TempDir {
 public:
  Folder() : TempDir("info") {}
  std::string Write(const std::string& name, const std::string& bytes) const {
    test::WriteBytes(path() / name, bytes);
    return *this / name;
  }
  std::string operator/(const std::string& name) const { return (path() / name).string(); }
};

const char kModule[] = "Attribute VB_Name = \"modA\"\r\nSub A()\r\nEnd Sub\r\n";

struct Case {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // P.vbp first
  std::vector<std::string> options;                        // before the project
  int code;
  std::string out_has;  // "" when nothing is expected on stdout
  std::string err;      // with <dir> for the folder
};

class InfoCommandTest : public testing::TestWithParam<Case> {};

TEST_P(InfoCommandTest, PrintsWarnsOrRefuses) {
  const Case& row = GetParam();
  Folder folder;
  for (const auto& [name, bytes] : row.files) folder.Write(name, bytes);
  std::vector<std::string> args = row.options;
  args.push_back(folder / "P.vbp");
  const Result result = Marquill(args);
  std::string err = row.err;
  for (std::size_t at; (at = err.find("<dir>/")) != std::string::npos;)
    err.replace(at, 6, folder / "");
  EXPECT_EQ(result.code, row.code) << result.err;
  EXPECT_EQ(result.err, err);
  if (!row.out_has.empty()) {
    EXPECT_NE(result.out.find(row.out_has), std::string::npos) << result.out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InfoCommandTest,
    testing::Values(
        Case{"InfoListsAMissingDocument",
             {{"P.vbp", "Module=modA; modA.bas\r\nRelatedDoc=..\\spec.doc\r\n"},
              {"modA.bas", kModule}},
             {"info"},
             0,
             "  spec.doc [RelatedDocument] ..\\spec.doc (missing)\n",
             ""},
        Case{"CheckPassesWithAMissingResource",
             {{"P.vbp", "Module=modA; modA.bas\r\nResFile32=\"P.RES\"\r\n"}, {"modA.bas", kModule}},
             {"check"},
             0,
             "2 files round-trip byte for byte",
             ""},
        Case{"FileListedTwiceIsAWarning",
             {{"P.vbp", "Module=modA; modA.bas\r\nModule=modA; modA.bas\r\n"},
              {"modA.bas", kModule}},
             {"check"},
             0,
             "2 files round-trip",
             "marquill: <dir>/P.vbp:2: warning: modA.bas is listed a second time (the first is "
             "on line 1): loaded once\n"},
        Case{"ShiftJisNameFound",
             {{"P.vbp", "Module=modA; \x93\xfa\x96\x7b.bas\r\n"},
              {"\xe6\x97\xa5\xe6\x9c\xac.bas", kModule}},
             {"info", "--codepage", "932"},
             0,
             "modA [StdModule] \xe6\x97\xa5\xe6\x9c\xac.bas",
             ""},
        Case{"WrongCodePageFindsNothingAndNamesItReadably",
             {{"P.vbp", "Module=modA; \x93\xfa\x96\x7b.bas\r\n"},
              {"\xe6\x97\xa5\xe6\x9c\xac.bas", kModule}},
             {"info", "--codepage", "1252"},
             2,
             "",
             "marquill: <dir>/P.vbp:1: listed file not found: "
             "\xe2\x80\x9c\xc3\xba\xe2\x80\x93{.bas\n"},
        Case{"UnknownCodePageIsAUsageError",
             {{"P.vbp", "Module=modA; modA.bas\r\n"}, {"modA.bas", kModule}},
             {"check", "--codepage", "65001"},
             2,
             "",
             "marquill: --codepage: not a code page of 932, 936, 949, 950, 1250-1258: 65001\n"
             "Run 'marquill --help' for usage.\n"},
        Case{"ControlBytesOfABadLineAreEscaped",
             {{"P.vbp", "Type=Exe\r\n\x1b]0;owned\x07\r\n"}},
             {"info"},
             2,
             "",
             "marquill: <dir>/P.vbp:2: expected KEY=VALUE, found \"\\x1B]0;owned\\x07\"\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(InfoCommandTest, AProjectThatIsAFifoIsRefusedAtOnce) {
  Folder folder;
  ASSERT_EQ(::mkfifo((folder / "P.vbp").c_str(), 0644), 0);
  const Result result = Marquill({"check", folder / "P.vbp"});
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_EQ(result.err, "marquill: " + (folder / "P.vbp") + ": not a regular file (a FIFO)\n");
}

TEST(InfoCommandTest, AScriptThatIsNoRegularFileIsRefusedAtOnce) {
  Folder folder;
  folder.Write("P.vbp", "Module=modA; modA.bas\r\n");
  folder.Write("modA.bas", kModule);
  ASSERT_EQ(::mkfifo((folder / "steps.mqs").c_str(), 0644), 0);
  const Result result = Marquill({"run", folder / "steps.mqs", folder / "P.vbp"});
  EXPECT_EQ(result.code, kExitUsage);
  // The summary line of the run may follow.
  EXPECT_TRUE(result.err.starts_with("marquill: " + (folder / "steps.mqs") +
                                     ": cannot read the script: not a regular file (a FIFO)\n"))
      << result.err;
}

// The loaded model stays with the context that ran the command, so a caller running commands
// in-process (tests, a host embedding the command line) gets its memory back when that context
// ends instead of losing it for the life of the process.
TEST(InfoCommandTest, TheLoadedModelLivesAsLongAsTheContext) {
  Folder folder;
  const std::string vbp = folder.Write("P.vbp", "Module=modA; modA.bas\r\n");
  folder.Write("modA.bas", kModule);
  for (const char* command : {"info", "check"}) {
    SCOPED_TRACE(command);
    std::weak_ptr<void> model;
    {
      std::ostringstream out, err;
      std::istringstream in;
      CliContext context{out, err, in};
      const char* argv[] = {"marquill", command, vbp.c_str()};
      ASSERT_EQ(RunCli(3, argv, context), kExitDone) << err.str();
      ASSERT_EQ(context.kept.size(), 1u);
      model = context.kept.front();
      ASSERT_FALSE(model.expired());
    }
    EXPECT_TRUE(model.expired());
  }
}

}  // namespace
}  // namespace marquill::cli

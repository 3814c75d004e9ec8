#include "support/cli.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/text/vb_text.h"
#include "shell/session.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

// A command that exists only in this test program, registered the way real ones are, so the
// tests see registration, option parsing, error reporting and the dry-run diff end to end.
struct ProbeOptions {
  std::string project;
  std::string fail;
  int count = 0;
  bool dry_run = false;
};

const CommandRegistrar kProbe{{"probe", "Test-only command", [](CLI::App& app) -> RunFn {
                                 auto options = std::make_shared<ProbeOptions>();
                                 AddProjectArgument(app, options->project);
                                 AddDryRunFlag(app, options->dry_run);
                                 app.add_option("--fail", options->fail);
                                 app.add_option("--count", options->count);
                                 return [options](CliContext& context) {
                                   const auto& o = *options;
                                   if (o.fail == "place") throw CliError(1, o.project, 12, "bad");
                                   if (o.fail == "file") throw CliError(1, o.project, 0, "bad");
                                   if (o.fail == "plain") throw CliError(2, "plain");
                                   if (o.fail == "number") host::CLng("x");
                                   if (o.fail == "other") throw std::runtime_error("boom");
                                   std::ifstream in(o.project, std::ios::binary);
                                   const std::string text{std::istreambuf_iterator<char>(in), {}};
                                   if (o.dry_run) {
                                     shell::WriteFileDiff(context.out, o.project, text,
                                                          text + "Module=Extra; Extra.bas\r\n");
                                   } else {
                                     context.out << "count " << o.count << "\n";
                                   }
                                   return kExitDone;
                                 };
                               }}};

using Result = test::CliResult;

Result Marquill(std::vector<std::string> args) { return test::RunMarquill(std::move(args)); }

class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    project_ = fs::temp_directory_path() / ("marquill-cli-" + std::to_string(getpid()) + ".vbp");
    std::ofstream(project_, std::ios::binary) << "Type=Exe\r\nModule=Main; Main.bas\r\n";
  }
  void TearDown() override { fs::remove(project_); }

  std::string Project() const { return project_.string(); }

  fs::path project_;
};

TEST_F(CliTest, HelpListsExactlyTheRegisteredCommands) {
  const Result result = Marquill({"--help"});
  EXPECT_EQ(result.code, kExitDone);
  EXPECT_EQ(result.err, "");
  const auto section = result.out.find("Subcommands:\n");
  ASSERT_NE(section, std::string::npos) << result.out;
  std::istringstream lines(result.out.substr(section + 13));
  std::vector<std::string> listed;
  for (std::string line; std::getline(lines, line) && !line.empty();) {
    std::istringstream words(line);
    listed.emplace_back();
    words >> listed.back();
  }
  std::vector<std::string> registered;
  for (const auto& command : RegisteredCommands()) registered.push_back(command.name);
  EXPECT_EQ(listed, registered);
  EXPECT_NE(std::find(registered.begin(), registered.end(), "probe"), registered.end());
}

TEST_F(CliTest, VersionAndCommandHelpExitZero) {
  const Result version = Marquill({"--version"});
  EXPECT_EQ(version.code, kExitDone);
  EXPECT_EQ(version.out, std::string(MARQUILL_VERSION) + "\n");

  const Result help = Marquill({"probe", "--help"});
  EXPECT_EQ(help.code, kExitDone);
  EXPECT_NE(help.out.find("--dry-run"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("PROJECT.vbp"), std::string::npos) << help.out;
}

TEST_F(CliTest, RunsTheChosenCommandWithItsOptions) {
  const Result result = Marquill({"probe", "--count", "3", Project()});
  EXPECT_EQ(result.code, kExitDone);
  EXPECT_EQ(result.out, "count 3\n");
  EXPECT_EQ(result.err, "");
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;  // "@" stands for the project file
  const char* err_start;
};

class UsageErrorTest : public CliTest, public testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrorTest, ExitsTwoWithAMessage) {
  std::vector<std::string> args = GetParam().args;
  for (auto& arg : args) {
    if (arg == "@") arg = Project();
  }
  const Result result = Marquill(args);
  EXPECT_EQ(result.code, kExitUsage);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind(GetParam().err_start, 0), 0u) << result.err;
}

const UsageCase kUsageCases[] = {
    {"NoArgumentsShowsUsage", {}, "Marquill: tools"},
    {"UnknownCommand", {"frobnicate", "@"}, "marquill: "},
    {"UnknownOption", {"probe", "--bogus", "@"}, "marquill: "},
    {"MissingProject", {"probe"}, "marquill: PROJECT.vbp is required"},
    {"ProjectDoesNotExist", {"probe", "/no/such/file.vbp"}, "marquill: PROJECT.vbp: File does"},
    {"OptionValueNotANumber",
     {"probe", "--count", "x", "@"},
     "marquill: Could not convert: --count"},
    {"CommandErrorWithUsageCode", {"probe", "--fail", "plain", "@"}, "marquill: plain\n"},
    {"ConversionErrorIsBadInput", {"probe", "--fail", "number", "@"}, "marquill: Type mismatch"},
};
INSTANTIATE_TEST_SUITE_P(Rows, UsageErrorTest, testing::ValuesIn(kUsageCases),
                         [](const testing::TestParamInfo<UsageCase>& row) {
                           return std::string(row.param.name);
                         });

TEST_F(CliTest, CommandFailuresNameTheirPlace) {
  const Result place = Marquill({"probe", "--fail", "place", Project()});
  EXPECT_EQ(place.code, kExitFailed);
  EXPECT_EQ(place.err, "marquill: " + Project() + ":12: bad\n");

  const Result file = Marquill({"probe", "--fail", "file", Project()});
  EXPECT_EQ(file.err, "marquill: " + Project() + ": bad\n");

  const Result other = Marquill({"probe", "--fail", "other", Project()});
  EXPECT_EQ(other.code, kExitFailed);
  EXPECT_EQ(other.err, "marquill: boom\n");
}

TEST_F(CliTest, DryRunPrintsADiffAndLeavesTheFile) {
  const Result result = Marquill({"probe", "--dry-run", Project()});
  EXPECT_EQ(result.code, kExitDone);
  // Outside the current folder: the absolute path without its leading slash.
  const std::string label = fs::absolute(Project()).relative_path().generic_string();
  EXPECT_EQ(result.out, "--- a/" + label + "\n+++ b/" + label +
                            "\n@@ -1,2 +1,3 @@\n Type=Exe\r\n Module=Main; Main.bas\r\n"
                            "+Module=Extra; Extra.bas\r\n");
  std::ifstream in(project_, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "Type=Exe\r\nModule=Main; Main.bas\r\n");
}

TEST(FormatErrorTest, NamesFileAndLineWhenKnown) {
  EXPECT_EQ(FormatError(CliError(1, "a.frm", 7, "x")), "marquill: a.frm:7: x");
  EXPECT_EQ(FormatError(CliError(1, "a.frm", 0, "x")), "marquill: a.frm: x");
  EXPECT_EQ(FormatError(CliError(2, "x")), "marquill: x");
}

}  // namespace
}  // namespace marquill::cli

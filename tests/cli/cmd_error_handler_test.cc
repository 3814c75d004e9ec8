// error-handler and describe on a copy of the sample project: the same files as the window
// scripts of the matching end-to-end cases, usage errors that write nothing, and attributes that
// survive a save and a reload.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "host/support/named_rows.h"
#include "support/cli.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;
using Result = test::CliResult;
using Args = std::vector<std::string>;
using test::ReadBytes;

const fs::path kCases = test::kSourceDir / "tests" / "e2e";

class MemberCommandsTest : public test::SampleProjectTest {
 protected:
  // `marquill ARGS... PROJECT.vbp`, in-process; "{project}" in an argument is the project folder.
  Result Marquill(Args args) {
    for (std::string& arg : args) {
      if (arg.starts_with("{project}")) arg.replace(0, 9, (work_ / "project").string());
    }
    args.push_back(Vbp().string());
    return test::RunMarquill(std::move(args));
  }
};

struct SameCase {
  const char* name;
  std::vector<Args> runs;
  const char* e2e_case;  // folder under tests/e2e/
};

class HandlersLikeTheWindowTest : public MemberCommandsTest,
                                  public testing::WithParamInterface<SameCase> {};

TEST_P(HandlersLikeTheWindowTest, LeavesTheExpectedFiles) {
  for (const Args& run : GetParam().runs) {
    const Result result = Marquill(run);
    ASSERT_EQ(result.code, kExitDone) << result.err;
    EXPECT_EQ(result.out, "");
  }
  ExpectChangedAsIn(kCases / GetParam().e2e_case);
}

const SameCase kSameCases[] = {
    {"CustomOnAClass",
     {{"error-handler", "insert-custom", "--component", "clsCounter", "--style", "msgbox"}},
     "errors/insert_custom_class"},
    {"RemoveByModuleName",
     {{"error-handler", "remove", "--module", "modMain"}},
     "errors/remove_component"},
    {"RemoveByFilePath",
     {{"error-handler", "remove", "--component", "{project}/modMain.bas"}},
     "errors/remove_component"},
    {"InsertSkipsDeclares",
     {{"error-handler", "insert", "--component", "modmain"}},
     "errors/insert_skips_declares"},
    {"CallImpliedByTheRoutineName",
     {{"error-handler", "insert-custom", "--component", "modMain", "--member", "JoinTexts",
       "--call", "LogError", "--label", "Failed"}},
     "errors/call_style_member"},
    {"BodyGivenAsText",
     {{"error-handler", "insert-custom", "--component", "modMain", "--member", "JoinTexts",
       "--label", "Failed", "--body",
       "    Call LogError(Err.Number , Err.Description)\r\n    Resume Next"}},
     "errors/call_style_member"},
    {"CallWinsOverAStyle",
     {{"error-handler", "insert-custom", "--component", "modMain", "--member", "JoinTexts",
       "--style", "debug", "--call", "LogError", "--label", "Failed"}},
     "errors/call_style_member"},
    {"InsertTwiceOnAProperty",
     {{"error-handler", "insert", "--component", "clsCounter", "--member", "Count"},
      {"error-handler", "insert", "--component", "clsCounter", "--member", "count"}},
     "errors/insert_twice_member"},
    {"DescribeMembers",
     {{"describe", "--component", "clsCounter", "--member", "Increment", "--description",
       "Adds Step to the count, or 1.", "--help-id", "2.5"},
      {"describe", "--component", "clsCounter", "--member", "Field", "--description",
       "The text box that sets the count."}},
     "errors/describe_member"},
    {"DescribeComponent",
     {{"describe", "--module", "modMain", "--description", "Helpers shared by the forms.",
       "--help-id", "12"}},
     "errors/describe_component"},
    {"InsertWithoutAComponentTakesEveryOne",
     {{"error-handler", "insert"}},
     "errors/insert_every_component"},
    {"LineCommandTakesComponentToo",
     {{"delete-empty-rows", "--collapse", "--component", "modMain"}},
     "lines/delete_empty_rows_collapse"},
};
INSTANTIATE_TEST_SUITE_P(Commands, HandlersLikeTheWindowTest, testing::ValuesIn(kSameCases),
                         host::test::RowName());

struct BadCase {
  const char* name;
  Args args;
  std::string error;  // the whole of stderr
};

class MemberBadInputTest : public MemberCommandsTest,
                           public testing::WithParamInterface<BadCase> {};

TEST_P(MemberBadInputTest, IsAUsageErrorThatWritesNothing) {
  const Result result = Marquill(GetParam().args);
  EXPECT_EQ(result.code, kExitUsage);
  std::string err = result.err;
  const std::string project = (work_ / "project" / "Marquill.vbp").string();
  for (std::size_t at; (at = err.find(project)) != std::string::npos;) {
    err.replace(at, project.size(), "<vbp>");
  }
  // The summary line a run over projects ends with is not part of the message.
  const std::size_t summary = err.find("\n" + GetParam().args.front() + ": ");
  if (summary != std::string::npos) err.erase(summary + 1);
  EXPECT_EQ(err, GetParam().error);
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(Changed().empty());
}

const std::string kUsageHint = "Run 'marquill --help' for usage.\n";
const std::string kNameRule = " (a letter, then letters, digits or _; no reserved word), not '";

const BadCase kBadCases[] = {
    {"UnknownComponent",
     {"error-handler", "insert", "--component", "modNone"},
     "marquill: <vbp>: no component named 'modNone' (by name or file); the project has: "
     "frmMain, mdiMain, ctlGauge, clsCounter, modMain\n"},
    {"UnknownMember",
     {"describe", "--component", "modMain", "--member", "Nope", "--description", "x"},
     "marquill: <vbp>: 'modMain' has no member named 'Nope'\n"},
    {"VariableMember",
     {"error-handler", "insert", "--component", "clsCounter", "--member", "m_Count"},
     "marquill: <vbp>: 'm_Count' is a variable: error handlers go into procedures and "
     "properties\n"},
    {"EventMember",
     {"error-handler", "insert-custom", "--component", "clsCounter", "--member", "Changed"},
     "marquill: <vbp>: 'Changed' is an event: error handlers go into procedures and "
     "properties\n"},
    {"MemberWithoutComponent",
     {"error-handler", "remove", "--member", "Main"},
     "marquill: --member requires --component\n" + kUsageHint},
    {"DescribeWithoutComponent", {"describe"}, "marquill: --component is required\n" + kUsageHint},
    {"HelpIdNotANumber",
     {"describe", "--component", "modMain", "--help-id", "12a"},
     "marquill: --help-id: wants a whole number from -2147483648 to 2147483647, not '12a'\n" +
         kUsageHint},
    {"HelpIdPastALong",
     {"describe", "--component", "modMain", "--help-id", "2147483648"},
     "marquill: --help-id: wants a whole number from -2147483648 to 2147483647, not "
     "'2147483648'\n" +
         kUsageHint},
    {"HelpIdEmpty",
     {"describe", "--component", "modMain", "--help-id", ""},
     "marquill: --help-id: wants a whole number from -2147483648 to 2147483647, not ''\n" +
         kUsageHint},
    {"DescriptionOverTwoLines",
     {"describe", "--component", "modMain", "--description", "one\ntwo"},
     "marquill: --description: is one line: an attribute cannot hold a line break\n" + kUsageHint},
    {"LabelStartingWithADigit",
     {"error-handler", "insert-custom", "--component", "modMain", "--label", "1st"},
     "marquill: --label: wants a name such as err_label" + kNameRule + "1st'\n" + kUsageHint},
    {"LabelThatIsAKeyword",
     {"error-handler", "insert-custom", "--component", "modMain", "--label", "resume"},
     "marquill: --label: wants a name such as err_label" + kNameRule + "resume'\n" + kUsageHint},
    {"EmptyLabel",
     {"error-handler", "insert-custom", "--component", "modMain", "--label", ""},
     "marquill: --label: wants a name such as err_label" + kNameRule + "'\n" + kUsageHint},
    {"CallThatIsNoName",
     {"error-handler", "insert-custom", "--component", "modMain", "--call", "Log Err"},
     "marquill: --call: wants a name such as LogError" + kNameRule + "Log Err'\n" + kUsageHint},
};
INSTANTIATE_TEST_SUITE_P(Commands, MemberBadInputTest, testing::ValuesIn(kBadCases),
                         host::test::RowName());

TEST_F(MemberCommandsTest, DescribeWithoutAValuePrintsAndWritesNothing) {
  const Result result = Marquill({"describe", "--component", "clsCounter", "--member", "Count"});
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_EQ(result.out, "Description: The current count.\nHelp Context ID: 1010\n");
  EXPECT_TRUE(Changed().empty());
}

TEST_F(MemberCommandsTest, AttributesSurviveASaveAndAReload) {
  ASSERT_EQ(Marquill({"describe", "--component", "clsCounter", "--member", "Name", "--description",
                      "Who \"counts\"", "--help-id", "-7"})
                .code,
            kExitDone);
  ASSERT_EQ(
      Marquill({"error-handler", "insert", "--component", "clsCounter", "--member", "Name"}).code,
      kExitDone);
  const Result shown = Marquill({"describe", "--component", "clsCounter", "--member", "Name"});
  EXPECT_EQ(shown.out, "Description: Who \"counts\"\nHelp Context ID: -7\n");
  // Written where the IDE writes them: under the declaration of the accessor that had them,
  // above the statement inserted afterwards.
  const std::string cls = ReadBytes(work_ / "project" / "clsCounter.cls");
  EXPECT_NE(cls.find("Public Property Let Name(ByVal NewName As String)\r\n"
                     "Attribute Name.VB_Description = \"Who \"\"counts\"\"\"\r\n"
                     "Attribute Name.VB_HelpID = -7\r\n"
                     "On Error Resume Next\r\n"),
            std::string::npos)
      << cls;
}

TEST_F(MemberCommandsTest, DryRunPrintsTheDiffAndWritesNothing) {
  const Result result =
      Marquill({"error-handler", "remove", "--component", "modMain", "--dry-run"});
  EXPECT_EQ(result.code, kExitDone) << result.err;
  EXPECT_NE(result.out.find("-    On Error Resume Next"), std::string::npos) << result.out;
  EXPECT_TRUE(Changed().empty());
}

}  // namespace
}  // namespace marquill::cli

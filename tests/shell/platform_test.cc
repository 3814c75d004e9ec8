#include <gtest/gtest.h>

#include <sstream>

#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"

namespace marquill::shell {
namespace {

const MessageBox kQuestion{"Continue ?", "Attention", MsgBoxButtons::kYesNo};

Answer Yes() { return {Answer::Kind::kYes, "", "s:1"}; }
Answer Text(std::string text) { return {Answer::Kind::kText, std::move(text), "s:2"}; }
Answer Cancel() { return {Answer::Kind::kCancel, "", "s:3"}; }

TEST(ScriptedPlatformTest, QueuedAnswersGoToTheQuestionsInTurnAndEveryCallIsRecorded) {
  ScriptedPlatform platform;
  platform.Queue(Yes());
  platform.Queue(Text("Header"));
  platform.Queue(Cancel());
  platform.Message("Saved", "");
  EXPECT_EQ(platform.MsgBox(kQuestion), MsgBoxResult::kYes);
  EXPECT_EQ(platform.InputBox("The name?", "New shortcut", ""), "Header");
  EXPECT_EQ(platform.OpenFileDialog({"Select an icon", "Icon file (*.ico)|*.ico"}), std::nullopt);
  EXPECT_EQ(platform.MsgBox(kQuestion), MsgBoxResult::kNo);  // nothing left: refused
  EXPECT_EQ(platform.PendingAnswers(), 0u);

  std::vector<std::string> calls;
  for (const auto& call : platform.Calls()) {
    calls.push_back(call.service + "|" + call.detail + "|" + call.result);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "MsgBox|VBMarquill: Saved|OK",
                       "MsgBox|Attention: Continue ?|Yes",
                       "InputBox|New shortcut: The name?|Header",
                       "OpenFileDialog|Select an icon: Icon file (*.ico)|*.ico|<cancel>",
                       "MsgBox|Attention: Continue ?|No",
                   }));
}

TEST(ScriptedPlatformTest, AnAnswerThatDoesNotFitTheQuestionIsReported) {
  ScriptedPlatform platform;
  platform.Queue(Text("maybe"));
  try {
    platform.MsgBox(kQuestion);
    FAIL() << "no mismatch reported";
  } catch (const AnswerMismatch& error) {
    EXPECT_EQ(std::string(error.what()),
              "the answer \"maybe\" (given at s:2) does not fit the question \"Continue ?\"");
  }
  platform.Queue(Yes());
  EXPECT_THROW(platform.InputBox("Name?", "New", ""), AnswerMismatch);
  platform.Queue(Text("green"));
  EXPECT_THROW(platform.ColorDialog(host::Color{0}), AnswerMismatch);
}

TEST(ScriptedPlatformTest, DialogAnswersAreShapedAsTheServiceReturnsThem) {
  ScriptedPlatform platform;
  platform.Queue(Text("/tmp/out"));
  platform.Queue(Text("&HFF00&"));
  platform.Queue(Text("255"));
  EXPECT_EQ(platform.BrowseForFolder("Choose a directory from the list."), "/tmp/out/");
  EXPECT_EQ(platform.ColorDialog(host::Color{0}), host::Color{0xFF00});
  EXPECT_EQ(platform.ColorDialog(host::Color{0}), host::Color{255});
}

TEST(ScriptedPlatformTest, UnansweredCallsGoToTheFallback) {
  std::istringstream in;
  std::ostringstream err;
  ConsolePlatform console(/*assume_yes=*/true, in, err, /*interactive=*/false);
  ScriptedPlatform platform(&console);
  platform.SetEnvironment("WINDIR", "C:\\Windows");
  EXPECT_EQ(platform.MsgBox(kQuestion), MsgBoxResult::kYes);
  EXPECT_EQ(platform.Environment("WINDIR"), "C:\\Windows");
  EXPECT_EQ(platform.CallsOf("MsgBox").at(0).result, "Yes");
  EXPECT_NE(err.str().find("Attention: Continue ?"), std::string::npos);
}

TEST(ColorTextTest, ReadsAndWritesTheLanguagesHexForm) {
  EXPECT_EQ(ColorText(host::Color{0x8000000F}), "&H8000000F&");
  EXPECT_EQ(ParseColor("&H8000000F&"), host::Color{0x8000000F});
  EXPECT_EQ(ParseColor("&hff"), host::Color{0xFF});
  EXPECT_EQ(ParseColor("12x"), std::nullopt);
  EXPECT_EQ(ParseColor(""), std::nullopt);
}

struct ConsoleCase {
  const char* name;
  bool assume_yes;
  bool interactive;
  const char* typed;
  MsgBoxResult expected;
};

class ConsoleQuestionTest : public testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleQuestionTest, AnswersAsTheRowSays) {
  const ConsoleCase& row = GetParam();
  std::istringstream in(row.typed);
  std::ostringstream err;
  ConsolePlatform console(row.assume_yes, in, err, row.interactive);
  EXPECT_EQ(console.MsgBox(kQuestion), row.expected);
  EXPECT_NE(err.str().find("Attention: Continue ?"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConsoleQuestionTest,
    testing::Values(ConsoleCase{"YesFlagAnswersWithoutAsking", true, false, "", MsgBoxResult::kYes},
                    ConsoleCase{"NoOneToAskRefuses", false, false, "y\n", MsgBoxResult::kNo},
                    ConsoleCase{"TerminalYes", false, true, "y\n", MsgBoxResult::kYes},
                    ConsoleCase{"TerminalAnythingElseIsNo", false, true, "sure\n",
                                MsgBoxResult::kNo},
                    ConsoleCase{"TerminalClosedIsNo", false, true, "", MsgBoxResult::kNo}),
    [](const testing::TestParamInfo<ConsoleCase>& row) { return row.param.name; });

TEST(ConsolePlatformTest, MessagesGoToStderrWithTheirTitleAndLinesAsTheTerminalWantsThem) {
  std::istringstream in;
  std::ostringstream err;
  ConsolePlatform console(false, in, err, false);
  console.Message("This will remove multiple line spliting !\r\nContinue ?");
  EXPECT_EQ(err.str(), "VBMarquill: This will remove multiple line spliting !\nContinue ?\n");
}

TEST(ConsolePlatformTest, InputIsReadAtATerminalAndCancelledWithoutOne) {
  std::istringstream in("Header\n");
  std::ostringstream err;
  ConsolePlatform terminal(false, in, err, true);
  EXPECT_EQ(terminal.InputBox("The name of the new shortcut?", "New shortcut", ""), "Header");
  ConsolePlatform batch(true, in, err, false);
  EXPECT_EQ(batch.InputBox("The name of the new shortcut?", "New shortcut", ""), std::nullopt);
  EXPECT_EQ(batch.BrowseForFolder("Choose a directory from the list."), std::nullopt);
}

}  // namespace
}  // namespace marquill::shell

namespace marquill::shell {
namespace {

struct SplitCase {
  const char* name;
  const char* command_line;
  std::vector<std::string> args;
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsAsWindowsDoes) {
  EXPECT_EQ(SplitCommandLine(GetParam().command_line), GetParam().args);
}

const SplitCase kSplits[] = {
    {"Words", "a b  c", {"a", "b", "c"}},
    {"QuotedBlanksStayTogether", "/s/regsvr32.exe /u \"/my dir/a b.ocx\"",
     {"/s/regsvr32.exe", "/u", "/my dir/a b.ocx"}},
    {"ShellCharactersAreJustText", "x \"$(rm -rf ~);`id`\"", {"x", "$(rm -rf ~);`id`"}},
    {"EmptyQuotesAreAnArgument", "x \"\"", {"x", ""}},
    {"Nothing", "   ", {}},
};

INSTANTIATE_TEST_SUITE_P(Lines, SplitCommandLineTest, testing::ValuesIn(kSplits),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace marquill::shell

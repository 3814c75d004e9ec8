#include "shell/time_log.h"

#include <gtest/gtest.h>

#include "addin_fixture.h"
#include "host/files/file_io.h"
#include "host/support/named_rows.h"
#include "shell/time_log_commands.h"
#include "shell_test_util.h"

namespace marquill::shell {
namespace {

using testing_util::AddinFixture;
using testing_util::FixedTime;
using testing_util::TempFolder;

constexpr const char* kVbp = "/nowhere/Billing.vbp";
constexpr const char* kLog = "/nowhere/Billing.logs";

TEST(FileTimeLogTest, AppendsReadsAndReplacesOnDisk) {
  TempFolder temp("timelog");
  const std::string path = temp.Folder() + "Billing.logs";
  FileTimeLog log([] { return FixedTime(3661); });
  EXPECT_EQ(log.Read(path), std::nullopt);
  host::MemoryProject saved("Billing", temp.Folder() + "Billing.vbp");
  EXPECT_EQ(WriteClockLine(log, saved, kStartPrefix), "Start at 2026-12-06 10:01:01");
  WriteStopLine(log, saved);
  EXPECT_EQ(log.Read(path), "Start at 2026-12-06 10:01:01\r\nStop  at 2026-12-06 10:01:01\r\n");
  log.Replace(path, "x\r\n");
  EXPECT_EQ(host::ReadWholeFile(path), "x\r\n");

  host::MemoryProject unsaved("Project1");
  EXPECT_EQ(WriteClockLine(log, unsaved, kStopPrefix), "");  // no file name, no log
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(FileTimeLogTest, MarquillNowFixesTheClock) {
  setenv("MARQUILL_NOW", "2026-12-06 09:05:00", 1);
  const std::string fixed = TimeLogTimestamp(Now());
  unsetenv("MARQUILL_NOW");
  EXPECT_EQ(fixed, "2026-12-06 09:05:00");
  EXPECT_NE(TimeLogTimestamp(Now()), fixed);
}

TEST(MemoryTimeLogTest, KeepsWritesOverItsBaseAndFailsOnALockedFile) {
  MemoryTimeLog disk;
  disk.Replace(kLog, "Start at 1\r\n");
  MemoryTimeLog overlay(&disk);
  overlay.Append(kLog, "Stop  at 2\r\n");
  EXPECT_EQ(overlay.Read(kLog), "Start at 1\r\nStop  at 2\r\n");
  EXPECT_EQ(disk.Read(kLog), "Start at 1\r\n");
  EXPECT_EQ(overlay.Changes().at(kLog).before, "Start at 1\r\n");
  overlay.Lock(kLog);
  EXPECT_THROW(overlay.Read(kLog), std::system_error);
  EXPECT_THROW(overlay.Append(kLog, "x"), std::system_error);
}

class ClockTest : public AddinFixture {
 protected:
  CommandBarControl& TimeButton() { return *bars_.FindControl(kToolbarName, "Time counting"); }
  CommandBarControl& TimeMenuItem() { return *bars_.FindControl(kAddInsMenuName, "Time counting"); }
  std::string Log() { return time_log_.Read(kLog).value_or("<none>"); }
};

TEST_F(ClockTest, EachToggleWritesOneLineShowsItAndSwapsTheFace) {
  Project().SetFileName(kVbp);
  ConnectAddin();
  bars_.Click(TimeButton());
  EXPECT_TRUE(addin_->ClockRunning());
  EXPECT_EQ(TimeButton().Face(), kFaceClockRunning);
  time_log_.SetClock([] { return FixedTime(90061); });
  bars_.Click(TimeMenuItem());  // the menu item toggles the same clock
  EXPECT_FALSE(addin_->ClockRunning());
  EXPECT_EQ(TimeButton().Face(), kFaceClock);
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-07 10:01:01\r\n");
  EXPECT_EQ(MsgBoxes(), (std::vector<std::string>{"VBMarquill: Start at 2026-12-06 09:00:00",
                                                  "VBMarquill: Stop  at 2026-12-07 10:01:01"}));
  addin_->OnDisconnection();  // stopped: no stop line
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-07 10:01:01\r\n");
}

TEST_F(ClockTest, DisconnectingWhileTheClockRunsWritesExactlyOneStopLine) {
  Project().SetFileName(kVbp);
  ConnectAddin();
  bars_.Click(TimeButton());
  addin_->OnDisconnection();
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\nStop  at 2026-12-06 09:00:00\r\n");
  EXPECT_EQ(MsgBoxes().size(), 1u);  // the stop line shows no message
}

TEST_F(ClockTest, AnUnsavedProjectIsRefusedAndTheClockStaysStopped) {
  ConnectAddin();
  bars_.Click(TimeButton());
  EXPECT_FALSE(addin_->ClockRunning());
  EXPECT_EQ(TimeButton().Face(), kFaceClock);
  EXPECT_TRUE(time_log_.Changes().empty());
  EXPECT_EQ(MsgBoxes(), std::vector<std::string>{
                            "Error: You have to save the project before use this option!"});
}

TEST_F(ClockTest, ALogThatCannotBeWrittenLeavesTheClockAsItWas) {
  Project().SetFileName(kVbp);
  time_log_.Lock(kLog);
  ConnectAddin();
  bars_.Click(TimeButton());
  EXPECT_FALSE(addin_->ClockRunning());
  EXPECT_EQ(TimeButton().Face(), kFaceClock);
  ASSERT_EQ(MsgBoxes().size(), 1u);
  EXPECT_EQ(MsgBoxes()[0],
            "Error: Cannot write /nowhere/Billing.logs: Permission denied; the clock was not "
            "started.");
}

// ---- The viewer ------------------------------------------------------------------------------

class ViewerTest : public ClockTest {
 protected:
  frmUtility& Window() {
    Project().SetFileName(kVbp);
    return OpenWindow();
  }
  void Click(int index) { addin_->MainWindow()->cmdLogs(index).Click(); }
};

TEST_F(ViewerTest, LoadShowsEveryLineWithCrLfAndTheTotal) {
  time_log_.Replace(kLog, "Start at 06.12.2026 09:00:00\nStop  at 07.12.2026 10:01:01");
  frmUtility& window = Window();
  Click(0);
  EXPECT_EQ(window.txtLogs.Text(),
            "Start at 06.12.2026 09:00:00\r\nStop  at 07.12.2026 10:01:01\r\n");
  EXPECT_EQ(window.txtTotalLogs.Text(), "1 day(s) 01:01:01");
  EXPECT_TRUE(MsgBoxes().empty());
}

TEST_F(ViewerTest, TheUsersLocaleOrdersSlashedDates) {
  time_log_.Replace(kLog, "Start at 06/12/2026 09:00:00\r\nStop  at 07/12/2026 09:00:00\r\n");
  frmUtility& window = Window();
  for (auto [locale, total] : {std::pair{"en_GB.UTF-8", "1 day(s) 00:00:00"},
                               std::pair{"en_US.UTF-8", "30 day(s) 00:00:00"}}) {
    setenv("LC_ALL", locale, 1);
    Click(0);
    EXPECT_EQ(window.txtTotalLogs.Text(), total) << locale;
  }
  unsetenv("LC_ALL");
}

TEST_F(ViewerTest, TwoTogglesThenLoadTotalTheirDifference) {
  frmUtility& window = Window();
  bars_.Click(TimeButton());
  time_log_.SetClock([] { return FixedTime(40000); });
  bars_.Click(TimeButton());
  Click(0);
  EXPECT_EQ(window.txtTotalLogs.Text(), "11:06:40");
}

TEST_F(ViewerTest, SaveAfterLoadWritesTheTextBackWithOneMoreEmptyLine) {
  time_log_.Replace(kLog, "Start at 2026-12-06 09:00:00\r\n");
  Window();
  Click(0);
  Click(1);
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\n\r\n");
  Click(1);  // what was saved counts as loaded: the same text is written again
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\n\r\n");
  EXPECT_TRUE(MsgBoxes().empty());
}

TEST_F(ViewerTest, CloseEmptiesTheViewerAndLeavesTheFile) {
  time_log_.Replace(kLog, "Start at 2026-12-06 09:00:00\r\n");
  frmUtility& window = Window();
  Click(0);
  Click(2);
  EXPECT_EQ(window.txtLogs.Text(), "");
  EXPECT_EQ(window.txtTotalLogs.Text(), "");
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\n");
}

TEST_F(ViewerTest, LoadOfAMissingLogChangesNothing) {
  frmUtility& window = Window();
  window.txtLogs.SetText("typed");
  Click(0);
  EXPECT_EQ(window.txtLogs.Text(), "typed");
  EXPECT_TRUE(MsgBoxes().empty());
}

struct RefusalCase {
  const char* name;
  std::optional<std::string> file;  // the log before; nullopt: none
  bool lock = false;
  bool unsaved = false;
  // What the user does: buttons clicked, with "t" typing into txtLogs and "c" a clock toggle.
  std::string actions;
  const char* message;
};

class ViewerRefusalTest : public ViewerTest, public testing::WithParamInterface<RefusalCase> {};

// Every refusal shows its message in a box titled "Error" and leaves the log as it was.
TEST_P(ViewerRefusalTest, SaysWhyAndKeepsTheLog) {
  const RefusalCase& row = GetParam();
  if (row.file) time_log_.Replace(kLog, *row.file);
  if (row.lock) time_log_.Lock(kLog);
  if (!row.unsaved) Project().SetFileName(kVbp);
  frmUtility& window = OpenWindow();
  for (char action : row.actions) {
    if (action == 't') window.txtLogs.SetText("Start at 2026-12-06 09:00:00");
    if (action == 'c') addin_->TimeCounting();
    if (action >= '0' && action <= '2') Click(action - '0');
  }
  std::vector<std::string> messages = MsgBoxes();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), std::string("Error: ") + row.message);
  if (!row.lock && row.actions.find('c') == std::string::npos) {
    EXPECT_EQ(time_log_.Read(kLog), row.file);
  }
}

const RefusalCase kRefusals[] = {
    {"UnsavedProject", std::nullopt, false, true, "0",
     "You have to save the project before use this option!"},
    {"SaveWithoutLoad", "Start at 2026-12-06 08:00:00\r\n", false, false, "t1",
     "Load /nowhere/Billing.logs before saving it; it was not written."},
    {"SaveAfterClose", "Start at 2026-12-06 08:00:00\r\n", false, false, "02t1",
     "Load /nowhere/Billing.logs before saving it; it was not written."},
    {"SaveAfterTheClockWrote", "Start at 2026-12-06 08:00:00\r\n", false, false, "0cc1",
     "/nowhere/Billing.logs changed since it was loaded; load it again. It was not written."},
    {"LoadOfABinaryFile",
     std::string("\x7f"
                 "ELF\0\0",
                 6),
     false, false, "0", "/nowhere/Billing.logs is not a text file; it was not loaded."},
    {"LoadOfALockedFile", "Start at 2026-12-06 08:00:00\r\n", true, false, "0",
     "Cannot read /nowhere/Billing.logs: Permission denied."},
    {"SaveOfALockedFile", std::nullopt, true, false, "t1",
     "Cannot read /nowhere/Billing.logs: Permission denied; it was not written."},
    {"LinesWithoutATime", "Start at 2026-12-06 08:00:00\r\nlunch 12-13\r\nStop  at later\r\n",
     false, false, "0",
     "2 line(s) of /nowhere/Billing.logs hold no start or stop time and are not counted: line "
     "2, 3."},
};

INSTANTIATE_TEST_SUITE_P(Refusals, ViewerRefusalTest, testing::ValuesIn(kRefusals),
                         host::test::RowName());

TEST_F(ViewerTest, SaveOfANewLogWritesIt) {
  frmUtility& window = Window();
  window.txtLogs.SetText("Start at 2026-12-06 09:00:00");
  Click(1);
  EXPECT_EQ(Log(), "Start at 2026-12-06 09:00:00\r\n");
}

TEST(ViewerTextTest, EveryLineEndsInCrLf) {
  EXPECT_EQ(ViewerText(""), "");
  EXPECT_EQ(ViewerText("a\r\nb\nc\rd"), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(ViewerText("\r\n\r\n"), "\r\n\r\n");
}

}  // namespace
}  // namespace marquill::shell

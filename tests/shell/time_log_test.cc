#include "shell/time_log.h"

#include <gtest/gtest.h>

#include "host/memory/memory_host.h"
#include "host/files/file_io.h"
#include "shell_test_util.h"

namespace marquill::shell {
namespace {

TEST(TimeLogTest, TheLogStandsBesideTheProjectFile) {
  EXPECT_EQ(TimeLogPath("/work/Billing.vbp"), "/work/Billing.logs");
  EXPECT_EQ(TimeLogPath(""), "");
}

std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute,
                                                int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

TEST(TimeLogTest, AStopLineIsAppendedWithTheLocalTime) {
  testing_util::TempFolder temp("timelog");
  std::string vbp = temp.Folder() + "Billing.vbp";
  host::WriteFileAtomically(temp.Folder() + "Billing.logs", "Start at 06/12/2026 09:00:00\r\n");
  FileTimeLog log([] { return LocalTime(2026, 12, 6, 10, 30, 5); });
  host::MemoryProject saved("Billing", vbp);
  log.WriteStopLine(saved);
  EXPECT_EQ(host::ReadWholeFile(temp.Folder() + "Billing.logs").value_or(""),
            "Start at 06/12/2026 09:00:00\r\nStop  at 06/12/2026 10:30:05\r\n");

  host::MemoryProject unsaved("Project1");
  log.WriteStopLine(unsaved);  // no file name, no log, here or in the working folder
  EXPECT_FALSE(std::filesystem::exists(".logs"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace marquill::shell

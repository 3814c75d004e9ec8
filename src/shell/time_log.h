// The project time log: "Start at" and "Stop  at" lines with a timestamp, appended to the file
// beside the project file whose name ends in ".logs" instead of ".vbp".
//
// The add-in class needs only the stop line written when it is disconnected while the clock
// runs; starting and stopping the clock, the viewer and the totals build on the same file.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "host/code_model.h"

namespace marquill::shell {

inline constexpr std::string_view kStartPrefix = "Start at ";
inline constexpr std::string_view kStopPrefix = "Stop  at ";

class TimeLog {
 public:
  virtual ~TimeLog() = default;
  // Appends a stop line with the current time to the project's log; an unsaved project (no file
  // name) has no log and gets nothing. Throws std::system_error when the file cannot be written.
  virtual void WriteStopLine(host::Project& project) = 0;
};

// The log of the project saved as `project_file`: its name minus the last four characters
// (".vbp") followed by ".logs". "" for an unsaved project.
std::string TimeLogPath(std::string_view project_file);

// The timestamp of a log line: the local date and time as "dd/mm/yyyy hh:mm:ss".
std::string TimeLogTimestamp(std::chrono::system_clock::time_point when);

// The time log on disk; each line is appended in one write, ended by CR LF.
class FileTimeLog : public TimeLog {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;
  explicit FileTimeLog(Clock clock = [] { return std::chrono::system_clock::now(); })
      : clock_(std::move(clock)) {}

  void WriteStopLine(host::Project& project) override;

 private:
  Clock clock_;
};

}  // namespace marquill::shell

// The project time log: "Start at" and "Stop  at" lines appended to the file beside the project
// file, the clock that the "Time counting" button toggles, and the file access behind both.
//
// Every read and write of a log goes through TimeLog, so a dry run can keep its writes in memory
// and show them as a diff, and tests can fix the time.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "host/code_model.h"
#include "host/timelog/time_log_text.h"
#include "shell/platform/platform_services.h"

namespace marquill::shell {

using host::kStartPrefix;
using host::kStopPrefix;
using host::TimeLogPath;

using Clock = std::function<std::chrono::system_clock::time_point()>;

// The system clock, unless MARQUILL_NOW holds a local time "YYYY-MM-DD HH:MM:SS": then that
// time, so a run can be repeated with the same log lines.
std::chrono::system_clock::time_point Now();

// The timestamp of a log line: the local date and time as "YYYY-MM-DD HH:MM:SS".
std::string TimeLogTimestamp(std::chrono::system_clock::time_point when);

// The files of the time logs and the time their lines carry.
class TimeLog {
 public:
  virtual ~TimeLog() = default;
  virtual std::chrono::system_clock::time_point CurrentTime() = 0;
  // The whole file, std::nullopt when it does not exist. std::system_error when it exists but
  // cannot be read.
  virtual std::optional<std::string> Read(const std::string& path) = 0;
  // Appends in one write, creating the file. std::system_error when it cannot be written.
  virtual void Append(const std::string& path, std::string_view bytes) = 0;
  // Replaces the file's contents through a temporary file. std::system_error on failure; the
  // file is then untouched.
  virtual void Replace(const std::string& path, std::string_view bytes) = 0;
};

// The logs on disk.
class FileTimeLog : public TimeLog {
 public:
  explicit FileTimeLog(Clock clock = Now) : clock_(std::move(clock)) {}

  std::chrono::system_clock::time_point CurrentTime() override { return clock_(); }
  std::optional<std::string> Read(const std::string& path) override;
  void Append(const std::string& path, std::string_view bytes) override;
  void Replace(const std::string& path, std::string_view bytes) override;

 private:
  Clock clock_;
};

// Logs kept in memory: files start as `base` has them (none without a base) and every write stays
// here. A dry run uses it over the disk; tests use it alone.
class MemoryTimeLog : public TimeLog {
 public:
  explicit MemoryTimeLog(TimeLog* base = nullptr, Clock clock = Now)
      : base_(base), clock_(std::move(clock)) {}

  std::chrono::system_clock::time_point CurrentTime() override { return clock_(); }
  std::optional<std::string> Read(const std::string& path) override;
  void Append(const std::string& path, std::string_view bytes) override;
  void Replace(const std::string& path, std::string_view bytes) override;

  // A file that fails every read and write, as a locked one does.
  void Lock(const std::string& path) { locked_[path] = true; }
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  struct Change {
    std::optional<std::string> before;  // as the base had it
    std::string after;
  };
  // Every file written, by path.
  const std::map<std::string, Change>& Changes() const { return changes_; }

 private:
  void ThrowIfLocked(const std::string& path) const;

  TimeLog* base_;
  Clock clock_;
  std::map<std::string, Change> changes_;
  std::map<std::string, bool> locked_;
};

// Appends prefix and the current timestamp to the log of `project` and returns the line without
// its CR LF. std::system_error when it cannot be written; "" (nothing written) for an unsaved
// project.
std::string WriteClockLine(TimeLog& log, host::Project& project, std::string_view prefix);

// The stop line of a disconnection while the clock runs.
inline void WriteStopLine(TimeLog& log, host::Project& project) {
  WriteClockLine(log, project, kStopPrefix);
}

// The message of every time-log command on a project that has no file name yet.
inline constexpr std::string_view kUnsavedProjectText =
    "You have to save the project before use this option!";

}  // namespace marquill::shell

// The project time log as text: where it lives, how its timestamps read, how its lines add up to
// a total and how the total is shown. The window's log viewer and the project report both total a
// log through SumTimeLog, so they always agree.
//
// A log holds "Start at " and "Stop  at " lines (both prefixes nine characters long) followed by
// a local date and time. Marquill writes "YYYY-MM-DD HH:MM:SS"; logs kept by hand or written on
// Windows machines hold the short date and long time of the writer's locale, so the reader also
// takes "12/6/2026 9:05:00 AM", "06.12.2026 09:05:00", "06/12/2026 09:05:00" and the like.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::host {

inline constexpr std::string_view kStartPrefix = "Start at ";
inline constexpr std::string_view kStopPrefix = "Stop  at ";

// The log of the project saved as `project_file`: its name minus the last four characters
// (".vbp") followed by ".logs". "" for an unsaved project.
std::string TimeLogPath(std::string_view project_file);

// Which number comes first in a date written with slashes or dashes: "06/12/2026" is the 6th of
// December day first and June 12th month first.
enum class DateOrder { kDayFirst, kMonthFirst };

// The order of the locale named like "en_US.UTF-8" or "de_DE@euro": month first in the
// territories that write dates so (the United States, the Philippines, ...) and in the "C" and
// "POSIX" locales, day first elsewhere.
DateOrder DateOrderOfLocale(std::string_view locale_name);
// The order of the user's locale: the first of LC_ALL, LC_TIME and LANG that is set.
DateOrder UserDateOrder();

struct LocalDateTime {
  int year = 1;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// "YYYY-MM-DD HH:MM:SS", the form Marquill writes.
std::string FormatTimestamp(const LocalDateTime& when);

// The date and time `text` holds, as seconds counted from an arbitrary fixed day (only
// differences mean anything; a local time has no zone, so a day is always 86400 seconds).
// Blanks around the text are ignored. Takes year-first dates ("2026-12-06", "2026/12/06"),
// day-first dotted dates ("06.12.2026") and slashed or dashed dates in `order` (the other order
// when `order` gives no valid date, as in "13/12/2026"), two-digit years (00-29 in 2000-2029),
// optionally followed by a time "H:MM" or "H:MM:SS" with an optional "AM"/"PM"; a date alone is
// midnight. std::nullopt for anything else.
std::optional<std::int64_t> ParseTimestamp(std::string_view text, DateOrder order);

// What a line of a log is to the summation.
enum class LogLineKind {
  kIgnored,         // nine characters or fewer: blank lines and the like
  kStart,           // "Start at" and a readable time
  kStop,            // "Stop  at" and a readable time
  kUnreadableTime,  // a start or stop line whose time does not read
  kOther,           // any other line: shown, never counted
};

// The total of a log, line by line. Each start remembers its time; each stop adds the seconds
// from the remembered start, which stays remembered, so two stops count from the same start
// twice and a second start replaces the first. A start whose time does not read leaves nothing
// remembered; a stop whose time does not read adds nothing.
class TimeLogSum {
 public:
  explicit TimeLogSum(DateOrder order) : order_(order) {}

  // One line, without its line break.
  LogLineKind Add(std::string_view line);
  // In whole seconds; negative when stops come before their starts.
  std::int64_t Seconds() const { return seconds_; }

 private:
  DateOrder order_;
  std::optional<std::int64_t> start_;
  std::int64_t seconds_ = 0;
};

struct TimeLogTotal {
  std::int64_t seconds = 0;
  // 1-based numbers of the lines that hold no readable log entry (kUnreadableTime, kOther).
  std::vector<int> unread_lines;
};

// Totals every line of `text`; lines end in CR LF, LF or CR.
TimeLogTotal SumTimeLog(std::string_view text, DateOrder order);

// Whether the last entry of a log (its last line of more than nine characters that starts with
// "Start at" or "Stop  at") is a start: the clock was left running.
bool ClockLeftRunning(std::string_view text);

// A total as the viewer and the report show it: below one day the time of day that many seconds
// after midnight, "HH:MM:SS"; from one day on the whole days, " day(s) ", then the time of day of
// the remaining seconds ("1 day(s) 01:01:01"). A negative total is the same with a leading "-".
std::string FormatLogTotal(std::int64_t seconds);

// Whether `bytes` reads as text: no NUL byte, the mark of a binary file.
bool LooksLikeText(std::string_view bytes);

}  // namespace marquill::host

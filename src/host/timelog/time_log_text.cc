#include "host/timelog/time_log_text.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "host/text/line_text.h"

namespace marquill::host {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), after H. Hinnant.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

bool ValidDate(int year, int month, int day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A left-to-right reader over the text of one timestamp.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return at_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[at_])) ++at_;
  }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++at_;
    return true;
  }
  // Up to `max_digits` digits; the number of digits read (0: none, value untouched).
  int Number(int max_digits, int& value) {
    int digits = 0;
    int result = 0;
    while (digits < max_digits && IsDigit(Peek())) {
      result = result * 10 + (text_[at_++] - '0');
      ++digits;
    }
    if (digits > 0) value = result;
    return IsDigit(Peek()) ? 0 : digits;  // too many digits reads as nothing
  }
  bool TakeWord(std::string_view word) {
    if (text_.size() - at_ < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (Upper(text_[at_ + i]) != word[i]) return false;
    }
    at_ += word.size();
    return true;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

int FullYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// The three fields of a date and the separator between them.
bool ReadDate(Scanner& in, DateOrder order, LocalDateTime& when) {
  std::array<int, 3> field = {0, 0, 0};
  std::array<int, 3> digits = {0, 0, 0};
  digits[0] = in.Number(4, field[0]);
  if (digits[0] == 0) return false;
  const char separator = in.Peek();
  if (separator != '-' && separator != '/' && separator != '.') return false;
  for (std::size_t i = 1; i < 3; ++i) {
    if (!in.Take(separator)) return false;
    in.SkipBlanks();  // "2026. 12. 06." puts a blank after each dot
    digits[i] = in.Number(4, field[i]);
    if (digits[i] == 0) return false;
  }
  if (separator == '.') in.Take('.');
  if (digits[0] > 2) {  // year first
    if (digits[1] > 2 || digits[2] > 2) return false;
    when.year = field[0];
    when.month = field[1];
    when.day = field[2];
    return ValidDate(when.year, when.month, when.day);
  }
  if (digits[1] > 2 || digits[2] == 3) return false;
  when.year = FullYear(field[2], digits[2]);
  // Dotted dates are day first wherever they are written.
  const bool day_first = separator == '.' || order == DateOrder::kDayFirst;
  when.day = day_first ? field[0] : field[1];
  when.month = day_first ? field[1] : field[0];
  if (!ValidDate(when.year, when.month, when.day)) std::swap(when.day, when.month);
  return ValidDate(when.year, when.month, when.day);
}

bool ReadTime(Scanner& in, LocalDateTime& when) {
  if (in.Number(2, when.hour) == 0 || !in.Take(':') || in.Number(2, when.minute) != 2) {
    return false;
  }
  if (in.Take(':') && in.Number(2, when.second) != 2) return false;
  in.SkipBlanks();
  const bool am = in.TakeWord("AM");
  const bool pm = !am && in.TakeWord("PM");
  if (am || pm) {
    if (when.hour < 1 || when.hour > 12) return false;
    when.hour = when.hour % 12 + (pm ? 12 : 0);
  }
  return when.hour <= 23 && when.minute <= 59 && when.second <= 59;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string TimeLogPath(std::string_view project_file) {
  if (project_file.empty()) return "";
  std::string_view stem =
      project_file.substr(0, project_file.size() > 4 ? project_file.size() - 4 : 0);
  return std::string(stem) + ".logs";
}

DateOrder DateOrderOfLocale(std::string_view locale_name) {
  const std::size_t underscore = locale_name.find('_');
  if (underscore == std::string_view::npos) return DateOrder::kMonthFirst;  // C, POSIX, ""
  std::string_view territory = locale_name.substr(underscore + 1);
  territory = territory.substr(0, territory.find_first_of(".@"));
  static constexpr std::array<std::string_view, 11> kMonthFirst = {
      "US", "PH", "FM", "MH", "PW", "AS", "GU", "MP", "PR", "UM", "VI"};
  for (std::string_view month_first : kMonthFirst) {
    if (territory == month_first) return DateOrder::kMonthFirst;
  }
  return DateOrder::kDayFirst;
}

DateOrder UserDateOrder() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return DateOrderOfLocale(value);
  }
  return DateOrderOfLocale("C");
}

std::string FormatTimestamp(const LocalDateTime& when) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month, when.day,
                when.hour, when.minute, when.second);
  return text;
}

namespace {

// "YYYY-MM-DD HH:MM:SS" exactly, the form Marquill writes; nullopt for anything else.
std::optional<std::int64_t> ParseWrittenForm(std::string_view text) {
  static constexpr std::string_view kPattern = "0000-00-00 00:00:00";
  if (text.size() != kPattern.size()) return std::nullopt;
  int value[6] = {0, 0, 0, 0, 0, 0};
  int field = 0;
  for (std::size_t i = 0; i < kPattern.size(); ++i) {
    const char c = text[i];
    if (kPattern[i] != '0') {
      if (c != kPattern[i]) return std::nullopt;
      ++field;
    } else if (IsDigit(c)) {
      value[field] = value[field] * 10 + (c - '0');
    } else {
      return std::nullopt;
    }
  }
  if (!ValidDate(value[0], value[1], value[2]) || value[3] > 23 || value[4] > 59 || value[5] > 59) {
    return std::nullopt;
  }
  return DaysFromCivil(value[0], value[1], value[2]) * kDaySeconds + value[3] * 3600 +
         value[4] * 60 + value[5];
}

}  // namespace

std::optional<std::int64_t> ParseTimestamp(std::string_view text, DateOrder order) {
  if (std::optional<std::int64_t> written = ParseWrittenForm(text)) return written;
  Scanner in(text);
  in.SkipBlanks();
  LocalDateTime when;
  if (!ReadDate(in, order, when)) return std::nullopt;
  const bool iso_t = in.Take('T');
  in.SkipBlanks();
  if (iso_t || !in.AtEnd()) {
    if (!ReadTime(in, when)) return std::nullopt;
    in.SkipBlanks();
  }
  if (!in.AtEnd()) return std::nullopt;
  return DaysFromCivil(when.year, when.month, when.day) * kDaySeconds + when.hour * 3600 +
         when.minute * 60 + when.second;
}

LogLineKind TimeLogSum::Add(std::string_view line) {
  if (line.size() <= kStartPrefix.size()) return LogLineKind::kIgnored;
  const std::string_view time = line.substr(kStartPrefix.size());
  // The prefixes are told apart by their first eight characters, whatever the ninth is.
  if (StartsWith(line, kStartPrefix.substr(0, 8))) {
    start_ = ParseTimestamp(time, order_);
    return start_ ? LogLineKind::kStart : LogLineKind::kUnreadableTime;
  }
  if (!StartsWith(line, kStopPrefix.substr(0, 8))) return LogLineKind::kOther;
  const std::optional<std::int64_t> stop = ParseTimestamp(time, order_);
  if (!stop) return LogLineKind::kUnreadableTime;
  if (start_) seconds_ += *stop - *start_;
  return LogLineKind::kStop;
}

TimeLogTotal SumTimeLog(std::string_view text, DateOrder order) {
  TimeLogSum sum(order);
  TimeLogTotal total;
  int number = 0;
  for (std::size_t at = 0; at < text.size();) {
    const TextLine line = LineAt(text, at);
    ++number;
    const LogLineKind kind = sum.Add(line.text);
    if (kind == LogLineKind::kUnreadableTime || kind == LogLineKind::kOther) {
      total.unread_lines.push_back(number);
    }
    at = line.next;
  }
  total.seconds = sum.Seconds();
  return total;
}

bool ClockLeftRunning(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0) {
    const std::size_t break_at = text.find_last_of("\r\n", end - 1);
    const std::size_t begin = break_at == std::string_view::npos ? 0 : break_at + 1;
    const std::string_view line = text.substr(begin, end - begin);
    if (line.size() > kStartPrefix.size()) {
      if (StartsWith(line, kStartPrefix.substr(0, 8))) return true;
      if (StartsWith(line, kStopPrefix.substr(0, 8))) return false;
    }
    if (break_at == std::string_view::npos) break;
    end = break_at;
  }
  return false;
}

std::string FormatLogTotal(std::int64_t seconds) {
  if (seconds < 0) return "-" + FormatLogTotal(-seconds);
  const std::int64_t days = seconds / kDaySeconds;
  const std::int64_t rest = seconds % kDaySeconds;
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", static_cast<int>(rest / 3600),
                static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  if (days == 0) return time;
  return std::to_string(days) + " day(s) " + time;
}

bool LooksLikeText(std::string_view bytes) { return bytes.find('\0') == std::string_view::npos; }

}  // namespace marquill::host

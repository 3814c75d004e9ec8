#include "shell/time_log.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "host/files/file_io.h"

namespace marquill::shell {

std::chrono::system_clock::time_point Now() {
  const char* fixed = std::getenv("MARQUILL_NOW");
  if (fixed != nullptr && *fixed != '\0') {
    std::tm local{};
    if (std::sscanf(fixed, "%d-%d-%d %d:%d:%d", &local.tm_year, &local.tm_mon, &local.tm_mday,
                    &local.tm_hour, &local.tm_min, &local.tm_sec) == 6) {
      local.tm_year -= 1900;
      local.tm_mon -= 1;
      local.tm_isdst = -1;
      return std::chrono::system_clock::from_time_t(std::mktime(&local));
    }
  }
  return std::chrono::system_clock::now();
}

std::string TimeLogTimestamp(std::chrono::system_clock::time_point when) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  return host::FormatTimestamp({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec});
}

std::optional<std::string> FileTimeLog::Read(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::nullopt;
  return host::ReadFile(path);
}

void FileTimeLog::Append(const std::string& path, std::string_view bytes) {
  host::AppendToFile(path, bytes);
}

void FileTimeLog::Replace(const std::string& path, std::string_view bytes) {
  host::WriteFileAtomically(path, bytes);
}

void MemoryTimeLog::ThrowIfLocked(const std::string& path) const {
  if (locked_.count(path) != 0) {
    throw std::system_error(std::make_error_code(std::errc::permission_denied), path);
  }
}

std::optional<std::string> MemoryTimeLog::Read(const std::string& path) {
  ThrowIfLocked(path);
  auto changed = changes_.find(path);
  if (changed != changes_.end()) return changed->second.after;
  return base_ != nullptr ? base_->Read(path) : std::nullopt;
}

void MemoryTimeLog::Append(const std::string& path, std::string_view bytes) {
  std::optional<std::string> now = Read(path);
  Replace(path, now.value_or("") + std::string(bytes));
}

void MemoryTimeLog::Replace(const std::string& path, std::string_view bytes) {
  ThrowIfLocked(path);
  auto changed = changes_.find(path);
  if (changed == changes_.end()) {
    Change change{base_ != nullptr ? base_->Read(path) : std::nullopt, ""};
    changed = changes_.emplace(path, std::move(change)).first;
  }
  changed->second.after = std::string(bytes);
}

std::string WriteClockLine(TimeLog& log, host::Project& project, std::string_view prefix) {
  const std::string path = TimeLogPath(project.FileName());
  if (path.empty()) return "";
  std::string line = std::string(prefix) + TimeLogTimestamp(log.CurrentTime());
  log.Append(path, line + "\r\n");
  return line;
}

}  // namespace marquill::shell

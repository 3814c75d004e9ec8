#include "shell/time_log.h"

#include <ctime>

#include "host/files/file_io.h"

namespace marquill::shell {

std::string TimeLogPath(std::string_view project_file) {
  if (project_file.empty()) return "";
  std::string_view stem =
      project_file.substr(0, project_file.size() > 4 ? project_file.size() - 4 : 0);
  return std::string(stem) + ".logs";
}

std::string TimeLogTimestamp(std::chrono::system_clock::time_point when) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::size_t length = std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", &local);
  return std::string(text, length);
}

void FileTimeLog::WriteStopLine(host::Project& project) {
  std::string path = TimeLogPath(project.FileName());
  if (path.empty()) return;
  host::AppendToFile(path, std::string(kStopPrefix) + TimeLogTimestamp(clock_()) + "\r\n");
}

}  // namespace marquill::shell

// The console's ways into a Linux desktop: xdg-open for documents, and Wine for Windows programs
// and the Windows folders.
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/text/vb_text.h"
#include "shell/platform/console_platform.h"

extern char** environ;

namespace marquill::shell {

namespace {

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool OnPath(const std::string& program) {
  std::string path = GetEnv("PATH");
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// Starts argv without waiting; the child is reaped by whoever outlives it.
bool Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0;
}

}  // namespace

std::string WineWindowsFolder() {
  std::string prefix = GetEnv("WINEPREFIX");
  if (prefix.empty()) {
    std::string home = GetEnv("HOME");
    if (home.empty()) return "";
    prefix = home + "/.wine";
  }
  std::filesystem::path windows = std::filesystem::path(prefix) / "drive_c" / "windows";
  std::error_code error;
  if (!std::filesystem::is_directory(windows, error)) return "";
  return windows.string() + kPathSeparator;
}

bool ConsolePlatform::ShellOpen(std::string_view path) {
  bool desktop = !GetEnv("DISPLAY").empty() || !GetEnv("WAYLAND_DISPLAY").empty();
  if (desktop && OnPath("xdg-open") && Spawn({"xdg-open", std::string(path)})) return true;
  err_ << "open " << path << "\n";
  return false;
}

// No shell sees the command line, so nothing in a file name is ever run as a command. A Windows
// program runs through Wine, and does not run at all without it.
bool ConsolePlatform::StartProgram(std::string_view command_line) {
  std::vector<std::string> args = SplitCommandLine(command_line);
  if (args.empty()) return false;
  const std::string& program = args.front();
  const bool windows_program =
      program.size() > 4 && host::LowerAscii(program.substr(program.size() - 4)) == ".exe";
  if (windows_program) {
    if (!OnPath("wine")) return false;
    args.insert(args.begin(), "wine");
  }
  return Spawn(args);
}

std::string ConsolePlatform::SystemFolder() {
  std::string windows = WineWindowsFolder();
  if (windows.empty()) return "";
  return windows + "system32" + kPathSeparator;
}

std::string ConsolePlatform::Environment(std::string_view name) {
  std::string value = GetEnv(std::string(name).c_str());
  if (value.empty() && name == "WINDIR") {
    value = WineWindowsFolder();
    if (!value.empty()) value.pop_back();  // WINDIR names the folder without a separator
  }
  return value;
}

}  // namespace marquill::shell

// The console's ways into Windows itself: the shell's "open" verb, CreateProcess, and the
// system's own folders and environment.
#include <windows.h>
#include <shellapi.h>

#include <ostream>
#include <string>

#include "shell/platform/console_platform.h"
#include "host/platform/windows_text.h"

namespace marquill::shell {

using host::Utf8FromWide;
using host::WideFromUtf8;

namespace {

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

bool ConsolePlatform::ShellOpen(std::string_view path) {
  // ShellExecute's result is an error code below 33 and a meaningless handle above.
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      nullptr, L"open", WideFromUtf8(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  err_ << "open " << path << "\n";
  return false;
}

// Windows hands the program the command line whole and the program splits it, so it is passed on
// as it is; no shell reads it.
bool ConsolePlatform::StartProgram(std::string_view command_line) {
  if (SplitCommandLine(command_line).empty()) return false;
  std::wstring line = WideFromUtf8(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::string ConsolePlatform::SystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return "";
  return WithSeparator(Utf8FromWide(std::wstring_view(folder, length)));
}

std::string ConsolePlatform::Environment(std::string_view name) {
  const std::wstring wide_name = WideFromUtf8(name);
  const DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size > 0) {
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
    if (length > 0 && length < size) return Utf8FromWide(std::wstring_view(value.data(), length));
  }
  // Every Windows has its folder, named or not.
  if (name == "WINDIR") {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length > 0 && length <= MAX_PATH) return Utf8FromWide(std::wstring_view(folder, length));
  }
  return "";
}

}  // namespace marquill::shell

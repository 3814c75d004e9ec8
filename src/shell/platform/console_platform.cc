#include "shell/platform/console_platform.h"

#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "host/text/vb_text.h"
#include "shell/platform/scripted_platform.h"

extern char** environ;

namespace marquill::shell {

namespace {

// Message texts use CR LF between lines; a terminal wants LF.
std::string TerminalText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::string Title(const MessageBox& box) {
  return box.title.empty() ? std::string(kAppTitle) : box.title;
}

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

ConsolePlatform::ConsolePlatform(bool assume_yes, std::istream& in, std::ostream& err,
                                 std::optional<bool> interactive)
    : assume_yes_(assume_yes),
      in_(in),
      err_(err),
      interactive_(interactive.value_or(isatty(STDIN_FILENO) && isatty(STDERR_FILENO))) {}

ConsolePlatform::ConsolePlatform(bool assume_yes)
    : ConsolePlatform(assume_yes, std::cin, std::cerr) {}

std::optional<std::string> ConsolePlatform::Ask(std::string_view prompt) {
  if (!interactive_) return std::nullopt;
  err_ << prompt << std::flush;
  std::string line;
  if (!std::getline(in_, line)) {
    err_ << "\n";
    return std::nullopt;
  }
  return line;
}

MsgBoxResult ConsolePlatform::MsgBox(const MessageBox& box) {
  err_ << Title(box) << ": " << TerminalText(box.text) << "\n";
  if (box.buttons == MsgBoxButtons::kOkOnly) return MsgBoxResult::kOk;
  if (assume_yes_) {
    err_ << "(answered Yes by --yes)\n";
    return MsgBoxResult::kYes;
  }
  std::optional<std::string> reply = Ask("[y/N] ");
  if (!reply) {
    err_ << "(no one to answer: No; --yes answers Yes)\n";
    return MsgBoxResult::kNo;
  }
  return (*reply == "y" || *reply == "Y" || *reply == "yes" || *reply == "Yes") ? MsgBoxResult::kYes
                                                                                : MsgBoxResult::kNo;
}

std::optional<std::string> ConsolePlatform::InputBox(std::string_view prompt,
                                                     std::string_view title,
                                                     std::string_view default_text) {
  std::string question = std::string(title) + ": " + TerminalText(prompt);
  if (!default_text.empty()) question += " [" + std::string(default_text) + "]";
  std::optional<std::string> reply = Ask(question + " ");
  if (!reply) {
    if (!interactive_) err_ << question << " (no one to answer: cancelled)\n";
    return std::nullopt;
  }
  if (reply->empty()) return std::string(default_text);
  return reply;
}

std::optional<std::string> ConsolePlatform::OpenFileDialog(const FileDialog& dialog) {
  std::string question = dialog.title + " (" + dialog.filter + "), path: ";
  std::optional<std::string> reply = Ask(question);
  if (!reply || reply->empty()) {
    if (!interactive_) err_ << dialog.title << " (no one to answer: cancelled)\n";
    return std::nullopt;
  }
  return reply;
}

std::optional<host::Color> ConsolePlatform::ColorDialog(host::Color initial) {
  std::optional<std::string> reply =
      Ask("Colour (&HBBGGRR& or decimal) [" + ColorText(initial) + "]: ");
  if (!reply || reply->empty()) return std::nullopt;
  std::optional<host::Color> color = ParseColor(*reply);
  if (!color) err_ << "not a colour: " << *reply << " (cancelled)\n";
  return color;
}

std::optional<std::string> ConsolePlatform::BrowseForFolder(std::string_view title) {
  std::optional<std::string> reply = Ask(std::string(title) + " ");
  if (!reply || reply->empty()) {
    if (!interactive_) err_ << title << " (no one to answer: cancelled)\n";
    return std::nullopt;
  }
  if (reply->back() != kPathSeparator) *reply += kPathSeparator;
  return reply;
}

bool ConsolePlatform::ShellOpen(std::string_view path) {
  bool desktop = !GetEnv("DISPLAY").empty() || !GetEnv("WAYLAND_DISPLAY").empty();
  if (desktop && OnPath("xdg-open") && Spawn({"xdg-open", std::string(path)})) return true;
  err_ << "open " << path << "\n";
  return false;
}

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> args;
  std::string arg;
  bool quoted = false;
  bool in_arg = false;
  for (char c : command_line) {
    if (c == '"') {
      quoted = !quoted;
      in_arg = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (in_arg) args.push_back(std::move(arg));
      arg.clear();
      in_arg = false;
    } else {
      arg += c;
      in_arg = true;
    }
  }
  if (in_arg) args.push_back(std::move(arg));
  return args;
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

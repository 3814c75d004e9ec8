#include "shell/platform/console_platform.h"

#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "shell/platform/scripted_platform.h"

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

}  // namespace

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

}  // namespace marquill::shell

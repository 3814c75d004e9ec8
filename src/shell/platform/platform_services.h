// What the add-in asks of the desktop it runs on: message and input boxes, file, colour and
// folder pickers, opening a document, starting a program, the system folder and the environment.
//
// The add-in code never talks to a toolkit or the operating system directly; a front end hands
// it one of these. The console implementation serves the command line, the scripted one serves
// tests and scripts (answers queued in advance, every call recorded).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/code_model.h"

namespace marquill::shell {

// The title a message box carries when the caller gives none of its own.
inline constexpr std::string_view kAppTitle = "VBMarquill";
// The title of every message that reports a failure.
inline constexpr std::string_view kErrorTitle = "Error";

enum class MsgBoxButtons { kOkOnly, kYesNo };
enum class MsgBoxResult { kOk, kYes, kNo };

struct MessageBox {
  std::string text;
  std::string title;  // "" gives kAppTitle
  MsgBoxButtons buttons = MsgBoxButtons::kOkOnly;
};

struct FileDialog {
  std::string title;
  // Pairs of display text and pattern separated by "|": "Icon file (*.ico)|*.ico".
  std::string filter;
};

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // Shows a message; a Yes/No box is a question whose answer comes back.
  virtual MsgBoxResult MsgBox(const MessageBox& box) = 0;
  // The text entered, std::nullopt when the user cancels.
  virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                              std::string_view default_text) = 0;
  // The chosen file's path, std::nullopt when the user cancels.
  virtual std::optional<std::string> OpenFileDialog(const FileDialog& dialog) = 0;
  // The chosen colour, std::nullopt when the user cancels.
  virtual std::optional<host::Color> ColorDialog(host::Color initial) = 0;
  // A folder path ending in the path separator, std::nullopt when the user cancels.
  virtual std::optional<std::string> BrowseForFolder(std::string_view title) = 0;
  // Opens a document with the desktop's "open" verb; false when that failed.
  virtual bool ShellOpen(std::string_view path) = 0;
  // Starts a program from a command line without waiting for it; false when it did not start.
  virtual bool StartProgram(std::string_view command_line) = 0;
  // The system folder, ending in the path separator; "" when there is none.
  virtual std::string SystemFolder() = 0;
  // An environment variable's value, "" when it is not set.
  virtual std::string Environment(std::string_view name) = 0;

  // Shorthand for a message with an OK button only.
  void Message(std::string_view text, std::string_view title = "") {
    MsgBox(MessageBox{std::string(text), std::string(title), MsgBoxButtons::kOkOnly});
  }
};

// Path separator of the platform: a folder path ends in it.
inline constexpr char kPathSeparator = '/';

}  // namespace marquill::shell

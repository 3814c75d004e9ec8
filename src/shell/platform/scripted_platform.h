// Platform services for tests and scripts: answers are queued before the question comes, every
// call is recorded, and nothing reaches a real desktop unless a fallback is given.
#pragma once

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/platform/platform_services.h"

namespace marquill::shell {

// An answer given in advance for the next question.
struct Answer {
  enum class Kind { kYes, kNo, kText, kCancel };
  Kind kind = Kind::kText;
  std::string text;    // the text typed, file or folder chosen, colour as "&HBBGGRR&" or decimal
  std::string origin;  // where the answer was given (a script line), for messages
};

// A queued answer that does not fit the question it meets.
class AnswerMismatch : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One call of a service: its name ("MsgBox", "InputBox", ...), what was asked and the result.
struct PlatformCall {
  std::string service;
  std::string detail;
  std::string result;
};

class ScriptedPlatform : public PlatformServices {
 public:
  // With a fallback, calls that find no queued answer, messages and the desktop services go on
  // to it; without one, a question is answered No and a dialog is cancelled.
  explicit ScriptedPlatform(PlatformServices* fallback = nullptr) : fallback_(fallback) {}

  void Queue(Answer answer) { answers_.push_back(std::move(answer)); }
  std::size_t PendingAnswers() const { return answers_.size(); }
  const std::vector<PlatformCall>& Calls() const { return calls_; }
  // The calls of one service, in order.
  std::vector<PlatformCall> CallsOf(std::string_view service) const;

  void SetEnvironment(std::string name, std::string value) { environment_[name] = value; }
  void SetSystemFolder(std::string folder) { system_folder_ = std::move(folder); }
  void SetShellOpenResult(bool result) { shell_open_result_ = result; }

  MsgBoxResult MsgBox(const MessageBox& box) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override;
  std::optional<std::string> OpenFileDialog(const FileDialog& dialog) override;
  std::optional<host::Color> ColorDialog(host::Color initial) override;
  std::optional<std::string> BrowseForFolder(std::string_view title) override;
  bool ShellOpen(std::string_view path) override;
  bool StartProgram(std::string_view command_line) override;
  std::string SystemFolder() override;
  std::string Environment(std::string_view name) override;

 private:
  // The next answer, if one is queued; the caller has recorded nothing yet.
  std::optional<Answer> Next();
  // The text of a text answer; a cancel gives nullopt; Yes or No do not fit.
  std::optional<std::string> TextOf(const Answer& answer, std::string_view service) const;
  void Record(std::string service, std::string detail, std::string result);

  PlatformServices* fallback_;
  std::deque<Answer> answers_;
  std::vector<PlatformCall> calls_;
  std::map<std::string, std::string, std::less<>> environment_;
  std::string system_folder_;
  bool shell_open_result_ = true;
};

// Reads a colour as the language writes it: "&HFF00&", "&H00FF00", or a decimal number.
// std::nullopt when the text is none of these.
std::optional<host::Color> ParseColor(std::string_view text);
// A colour as the language writes a long in hexadecimal: "&HFF00&".
std::string ColorText(host::Color color);

}  // namespace marquill::shell

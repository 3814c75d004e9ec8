#include "shell/platform/scripted_platform.h"

#include <cctype>
#include <charconv>
#include <cstdint>

namespace marquill::shell {

namespace {

std::string OneLine(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out += c == '\n' ? '|' : c;
  }
  return out;
}

const char* KindName(Answer::Kind kind) {
  switch (kind) {
    case Answer::Kind::kYes:
      return "yes";
    case Answer::Kind::kNo:
      return "no";
    case Answer::Kind::kCancel:
      return "cancel";
    case Answer::Kind::kText:
      break;
  }
  return "text";
}

std::string Describe(const Answer& answer) {
  std::string what = answer.kind == Answer::Kind::kText ? "\"" + answer.text + "\""
                                                        : std::string(KindName(answer.kind));
  if (!answer.origin.empty()) what += " (given at " + answer.origin + ")";
  return what;
}

}  // namespace

std::optional<host::Color> ParseColor(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && (text.substr(0, 2) == "&H" || text.substr(0, 2) == "&h")) {
    base = 16;
    text.remove_prefix(2);
    if (!text.empty() && text.back() == '&') text.remove_suffix(1);
  }
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return host::Color{value};
}

std::string ColorText(host::Color color) {
  char digits[16];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, color.value, 16);
  std::string hex(digits, end);
  for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return "&H" + hex + "&";
}

std::vector<PlatformCall> ScriptedPlatform::CallsOf(std::string_view service) const {
  std::vector<PlatformCall> calls;
  for (const auto& call : calls_) {
    if (call.service == service) calls.push_back(call);
  }
  return calls;
}

std::optional<Answer> ScriptedPlatform::Next() {
  if (answers_.empty()) return std::nullopt;
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPlatform::TextOf(const Answer& answer,
                                                    std::string_view service) const {
  if (answer.kind == Answer::Kind::kCancel) return std::nullopt;
  if (answer.kind != Answer::Kind::kText) {
    throw AnswerMismatch("the answer " + Describe(answer) + " does not fit the " +
                         std::string(service) + " that asked next");
  }
  return answer.text;
}

void ScriptedPlatform::Record(std::string service, std::string detail, std::string result) {
  calls_.push_back({std::move(service), std::move(detail), std::move(result)});
}

MsgBoxResult ScriptedPlatform::MsgBox(const MessageBox& box) {
  std::string title = box.title.empty() ? std::string(kAppTitle) : box.title;
  std::string detail = title + ": " + OneLine(box.text);
  if (box.buttons == MsgBoxButtons::kOkOnly) {
    Record("MsgBox", detail, "OK");
    if (fallback_ != nullptr) fallback_->MsgBox(box);
    return MsgBoxResult::kOk;
  }
  MsgBoxResult result = MsgBoxResult::kNo;
  if (auto answer = Next()) {
    if (answer->kind != Answer::Kind::kYes && answer->kind != Answer::Kind::kNo) {
      throw AnswerMismatch("the answer " + Describe(*answer) + " does not fit the question \"" +
                           OneLine(box.text) + "\"");
    }
    result = answer->kind == Answer::Kind::kYes ? MsgBoxResult::kYes : MsgBoxResult::kNo;
  } else if (fallback_ != nullptr) {
    result = fallback_->MsgBox(box);
  }
  Record("MsgBox", detail, result == MsgBoxResult::kYes ? "Yes" : "No");
  return result;
}

std::optional<std::string> ScriptedPlatform::InputBox(std::string_view prompt,
                                                      std::string_view title,
                                                      std::string_view default_text) {
  std::optional<std::string> result;
  if (auto answer = Next()) {
    result = TextOf(*answer, "input box");
  } else if (fallback_ != nullptr) {
    result = fallback_->InputBox(prompt, title, default_text);
  }
  Record("InputBox", std::string(title) + ": " + OneLine(prompt), result.value_or("<cancel>"));
  return result;
}

std::optional<std::string> ScriptedPlatform::OpenFileDialog(const FileDialog& dialog) {
  std::optional<std::string> result;
  if (auto answer = Next()) {
    result = TextOf(*answer, "file dialog");
  } else if (fallback_ != nullptr) {
    result = fallback_->OpenFileDialog(dialog);
  }
  Record("OpenFileDialog", dialog.title + ": " + dialog.filter, result.value_or("<cancel>"));
  return result;
}

std::optional<host::Color> ScriptedPlatform::ColorDialog(host::Color initial) {
  std::optional<host::Color> result;
  if (auto answer = Next()) {
    if (auto text = TextOf(*answer, "colour dialog")) {
      result = ParseColor(*text);
      if (!result) throw AnswerMismatch("the answer " + Describe(*answer) + " is not a colour");
    }
  } else if (fallback_ != nullptr) {
    result = fallback_->ColorDialog(initial);
  }
  Record("ColorDialog", ColorText(initial), result ? ColorText(*result) : "<cancel>");
  return result;
}

std::optional<std::string> ScriptedPlatform::BrowseForFolder(std::string_view title) {
  std::optional<std::string> result;
  if (auto answer = Next()) {
    result = TextOf(*answer, "folder picker");
    if (result && (result->empty() || result->back() != kPathSeparator)) {
      *result += kPathSeparator;
    }
  } else if (fallback_ != nullptr) {
    result = fallback_->BrowseForFolder(title);
  }
  Record("BrowseForFolder", std::string(title), result.value_or("<cancel>"));
  return result;
}

bool ScriptedPlatform::ShellOpen(std::string_view path) {
  bool result = fallback_ != nullptr ? fallback_->ShellOpen(path) : shell_open_result_;
  Record("ShellOpen", std::string(path), result ? "done" : "failed");
  return result;
}

bool ScriptedPlatform::StartProgram(std::string_view command_line) {
  bool result = fallback_ != nullptr ? fallback_->StartProgram(command_line) : true;
  Record("StartProgram", std::string(command_line), result ? "started" : "failed");
  return result;
}

std::string ScriptedPlatform::SystemFolder() {
  std::string result = system_folder_;
  if (result.empty() && fallback_ != nullptr) result = fallback_->SystemFolder();
  Record("SystemFolder", "", result);
  return result;
}

std::string ScriptedPlatform::Environment(std::string_view name) {
  std::string result;
  if (auto it = environment_.find(name); it != environment_.end()) {
    result = it->second;
  } else if (fallback_ != nullptr) {
    result = fallback_->Environment(name);
  }
  Record("Environment", std::string(name), result);
  return result;
}

}  // namespace marquill::shell

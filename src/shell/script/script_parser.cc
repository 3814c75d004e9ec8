#include "shell/script/script_parser.h"

#include <charconv>
#include <map>

#include "host/memory/memory_host.h"

namespace marquill::shell {

namespace {

struct VerbInfo {
  StepVerb verb;
  int min_args;
  int max_args;
  bool control_first;  // the first argument names a window control
  const char* usage;
};

const std::map<std::string, VerbInfo, std::less<>>& Verbs() {
  static const std::map<std::string, VerbInfo, std::less<>> verbs = {
      {"set", {StepVerb::kSet, 2, 2, true, "set CONTROL TEXT"}},
      {"check", {StepVerb::kCheck, 2, 2, true, "check CONTROL 0|1|2"}},
      {"select", {StepVerb::kSelect, 1, 1, true, "select OPTION"}},
      {"click", {StepVerb::kClick, 1, 1, true, "click CONTROL"}},
      {"choose", {StepVerb::kChoose, 2, 2, true, "choose CONTROL ENTRY"}},
      {"tick", {StepVerb::kTick, 2, 2, true, "tick CONTROL ENTRY"}},
      {"untick", {StepVerb::kUntick, 2, 2, true, "untick CONTROL ENTRY"}},
      {"tab", {StepVerb::kTab, 1, 1, false, "tab N"}},
      {"key", {StepVerb::kKey, 1, 1, false, "key CODE"}},
      {"answer", {StepVerb::kAnswer, 1, 1, false, "answer yes|no|cancel|TEXT"}},
      {"pane", {StepVerb::kPane, 1, 3, false, "pane MODULE [FIRST[,COL] LAST[,COL]] | pane none"}},
      {"menu", {StepVerb::kMenu, 1, 1, false, "menu CAPTION"}},
      {"toolbar", {StepVerb::kToolbar, 1, 1, false, "toolbar CAPTION"}},
      {"shortcut", {StepVerb::kShortcut, 1, 1, false, "shortcut NAME"}},
  };
  return verbs;
}

bool ParseInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool IsIdentifier(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool digit = c >= '0' && c <= '9';
    if (!letter && !digit && c != '_') return false;
  }
  return !(text[0] >= '0' && text[0] <= '9');
}

char Escaped(char c) {
  switch (c) {
    case '"':
      return '"';
    case '\\':
      return '\\';
    case 'r':
      return '\r';
    case 'n':
      return '\n';
    case 't':
      return '\t';
  }
  return '\0';
}

void CheckStep(const ScriptStep& step, const VerbInfo& info, const std::string& file) {
  auto fail = [&](const std::string& message) { throw ScriptError(file, step.line, message); };
  int count = static_cast<int>(step.args.size());
  if (count < info.min_args || count > info.max_args ||
      (step.verb == StepVerb::kPane && count == 2)) {
    fail("usage: " + std::string(info.usage));
  }
  ControlRef ref;
  if (info.control_first && (step.args[0].quoted || !ParseControlRef(step.args[0].text, ref))) {
    fail("'" + step.args[0].text + "' is not a control name such as txtSplit or optWhere(1)");
  }
  int number = 0;
  switch (step.verb) {
    case StepVerb::kCheck:
      if (!ParseInt(step.args[1].text, number) || number < 0 || number > 2) {
        fail("a check box value is 0, 1 or 2, not '" + step.args[1].text + "'");
      }
      break;
    case StepVerb::kPane: {
      int first = 0;
      for (std::size_t i = 1; i < step.args.size(); ++i) {
        int column = 0;
        if (!ParsePanePosition(step.args[i].text, number, column)) {
          fail("a code pane position is LINE or LINE,COLUMN, not '" + step.args[i].text + "'");
        }
        if (i == 1) first = number;
      }
      // A pane cannot hold a selection that ends before it starts.
      if (step.args.size() == 3 && number < first) {
        fail("the selection ends on line " + std::to_string(number) + ", before its first line " +
             std::to_string(first));
      }
      break;
    }
    case StepVerb::kTab:
    case StepVerb::kKey:
      if (!ParseInt(step.args[0].text, number) || number < 0) {
        fail("usage: " + std::string(info.usage) + " (a whole number)");
      }
      break;
    default:
      break;
  }
}

}  // namespace

ScriptError::ScriptError(std::string file, int line, std::string message, bool command_failed)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message),
      file_(std::move(file)),
      line_(line),
      message_(std::move(message)),
      command_failed_(command_failed) {}

bool ParsePanePosition(std::string_view text, int& line, int& column) {
  std::size_t comma = text.find(',');
  column = 1;
  if (!ParseInt(text.substr(0, comma), line) || line < 1) return false;
  if (comma == std::string_view::npos) return true;
  return ParseInt(text.substr(comma + 1), column) && column >= 1;
}

std::string ControlRef::Text() const {
  return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

bool ParseControlRef(std::string_view text, ControlRef& ref) {
  std::size_t open = text.find('(');
  if (open == std::string_view::npos) {
    if (!IsIdentifier(text)) return false;
    ref = {std::string(text), -1};
    return true;
  }
  if (text.back() != ')') return false;
  int index = 0;
  if (!IsIdentifier(text.substr(0, open)) ||
      !ParseInt(text.substr(open + 1, text.size() - open - 2), index) || index < 0) {
    return false;
  }
  ref = {std::string(text.substr(0, open)), index};
  return true;
}

EntryRef ParseEntryRef(const ScriptToken& token) {
  int position = 0;
  if (!token.quoted && token.text.size() > 1 && token.text[0] == '#' &&
      ParseInt(std::string_view(token.text).substr(1), position) && position >= 0) {
    return {position, ""};
  }
  return {-1, token.text};
}

std::vector<ScriptToken> TokenizeLine(std::string_view text, const std::string& file, int line) {
  std::vector<ScriptToken> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '#' && tokens.empty()) break;  // a comment line
    ScriptToken token;
    if (c == '"') {
      token.quoted = true;
      ++i;
      bool closed = false;
      while (i < text.size()) {
        char d = text[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          char escaped = i < text.size() ? Escaped(text[i]) : '\0';
          if (escaped == '\0') {
            throw ScriptError(file, line,
                              "unknown escape in a quoted text (use \\\" \\\\ \\r \\n \\t)");
          }
          token.text += escaped;
          ++i;
          continue;
        }
        token.text += d;
      }
      if (!closed) throw ScriptError(file, line, "a quoted text is not closed");
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t') token.text += text[i++];
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::vector<ScriptStep> ParseScript(std::string_view text, const std::string& file) {
  std::vector<ScriptStep> steps;
  int line_number = 0;
  // Editors on Windows may put a UTF-8 byte order mark in front of the first step.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  // Lines end in CR LF, LF or a lone CR, whatever editor saved the script.
  for (const host::SourceLine& source : host::SplitSourceText(text)) {
    const std::string_view line = source.text;
    ++line_number;
    std::vector<ScriptToken> tokens = TokenizeLine(line, file, line_number);
    if (tokens.empty()) continue;
    auto verb = Verbs().find(tokens[0].text);
    if (tokens[0].quoted || verb == Verbs().end()) {
      throw ScriptError(file, line_number, "unknown step '" + tokens[0].text + "'");
    }
    ScriptStep step{line_number, verb->second.verb, tokens[0].text,
                    std::vector<ScriptToken>(tokens.begin() + 1, tokens.end())};
    CheckStep(step, verb->second, file);
    steps.push_back(std::move(step));
  }
  return steps;
}

}  // namespace marquill::shell

#include "transform/indentation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/text/vb_text.h"
#include "transform/code_text.h"

namespace marquill::transform {
namespace {

using Words = std::initializer_list<std::string_view>;

bool IsOneOf(std::string_view word, Words words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// The identifier at the start of `s` (letters, digits, underscores), and what follows it.
std::string_view FirstWord(std::string_view s) {
  std::size_t n = 0;
  while (n < s.size() && IsWordChar(s[n])) ++n;
  return s.substr(0, n);
}

bool FollowedBySpace(std::string_view s, std::string_view word) {
  return s.size() > word.size() && s[word.size()] == ' ';
}

bool FollowedBySpaceOrEnd(std::string_view s, std::string_view word) {
  return s.size() == word.size() || s[word.size()] == ' ';
}

// "Type T", "Private Type T", "Public Enum E": a declaration, not a ".Type" or "Type" in text.
bool IsTypeOrEnumDeclaration(std::string_view s) {
  std::string_view word = FirstWord(s);
  if (IsOneOf(word, {"Public", "Private"}) && FollowedBySpace(s, word)) {
    s = host::TrimLeadingSpaces(s.substr(word.size()));
    word = FirstWord(s);
  }
  return IsOneOf(word, {"Type", "Enum"}) && FollowedBySpace(s, word) &&
         !FirstWord(host::TrimLeadingSpaces(s.substr(word.size()))).empty();
}

bool IsOpener(std::string_view s) {
  const std::string_view word = FirstWord(s);
  if (IsOneOf(word, {"While", "With", "For"}) && FollowedBySpace(s, word)) return true;
  if (word == "Do" && FollowedBySpaceOrEnd(s, word)) return true;
  return IsTypeOrEnumDeclaration(s);
}

// "End If", "End Sub", "End With"...: the End statement that ends the program closes nothing.
bool IsEndOfBlock(std::string_view s) {
  if (FirstWord(s) != "End" || !FollowedBySpace(s, "End")) return false;
  return IsOneOf(FirstWord(host::TrimLeadingSpaces(s.substr(3))),
                 {"If", "Select", "Sub", "Function", "Property", "With", "Type", "Enum"});
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Index just past the Then keyword of a statement (outside string literals and before any
// comment); npos when there is none.
std::size_t PastThen(std::string_view s) {
  bool in_string = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      in_string = !in_string;
    } else if (in_string) {
      continue;
    } else if (c == '\'') {
      return std::string_view::npos;
    } else if (IsWordChar(c) && (i == 0 || (!IsWordChar(s[i - 1]) && s[i - 1] != '.'))) {
      const std::string_view word = FirstWord(s.substr(i));
      if (word == "Then") return i + word.size();
      i += word.size() - 1;
    }
  }
  return std::string_view::npos;
}

// A statement and the lines it is written on: a line and the lines its continuation marks carry
// it on to, within the range.
struct Statement {
  std::vector<std::string> lines;
  std::string text;  // the pieces without their marks, one space apart
};

Statement ReadStatement(host::CodeModule& module, int at, int last) {
  Statement statement;
  statement.lines.push_back(module.Line(at));
  while (host::EndsWithContinuation(statement.lines.back()) &&
         at + static_cast<int>(statement.lines.size()) <= last) {
    statement.lines.push_back(module.Line(at + static_cast<int>(statement.lines.size())));
  }
  for (const std::string& line : statement.lines) {
    std::string_view piece = host::TrimLeadingSpaces(line);
    if (host::EndsWithContinuation(piece)) piece.remove_suffix(2);
    if (!statement.text.empty()) statement.text += ' ';
    statement.text += piece;
  }
  return statement;
}

std::string Indented(std::string_view s, int width, int level, int line) {
  const std::int64_t wanted = std::int64_t{width} * level;
  if (wanted > kMaxCodeLine) {
    // Otherwise a huge width would make every line of the module that long.
    throw IndentStop(line, "it needs " + std::to_string(wanted) +
                               " columns of indentation; a code line holds at most " +
                               std::to_string(kMaxCodeLine) + " characters");
  }
  // A long line takes what indentation still fits, so it stays a line the code window holds.
  const std::int64_t room = std::max<std::int64_t>(kMaxCodeLine - std::int64_t(s.size()), 0);
  std::string out(static_cast<std::size_t>(std::clamp<std::int64_t>(wanted, 0, room)), ' ');
  out += s;
  return out;
}

}  // namespace

BlockRule ClassifyLine(std::string_view s) {
  if (IsOpener(s)) return BlockRule::kOpener;
  const std::string_view word = FirstWord(s);
  if (word == "If") return BlockRule::kIf;
  if (IsOneOf(word, {"Loop", "Wend", "Next"}) || IsEndOfBlock(s)) return BlockRule::kCloser;
  if (IsOneOf(word, {"Else", "ElseIf"})) return BlockRule::kElse;
  return BlockRule::kOther;
}

bool IfOpensBlock(std::string_view s) {
  const std::size_t past = PastThen(s);
  if (past == std::string_view::npos) return true;
  const std::string_view after = s.substr(past);
  const std::size_t comment = CommentStart(after);
  const std::string_view statement = after.substr(0, comment);
  return std::all_of(statement.begin(), statement.end(), IsBlank);
}

void IndentLines(host::CodeModule& module, int first, int last, int width) {
  int level = 0;
  for (int i = first; i <= last;) {
    const Statement statement = ReadStatement(module, i, last);
    int written_at = level;
    switch (ClassifyLine(statement.text)) {
      case BlockRule::kOpener:
        ++level;
        break;
      case BlockRule::kIf:
        if (IfOpensBlock(statement.text)) ++level;
        break;
      case BlockRule::kCloser:
        level = std::max(level - 1, 0);
        written_at = level;
        break;
      case BlockRule::kElse:
        written_at = std::max(level - 1, 0);
        level = written_at + 1;
        break;
      case BlockRule::kOther:
        break;
    }
    for (const std::string& line : statement.lines) {
      module.ReplaceLine(i, Indented(host::TrimLeadingSpaces(line), width, written_at, i));
      ++i;
    }
  }
}

}  // namespace marquill::transform

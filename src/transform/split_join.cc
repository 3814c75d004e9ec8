#include "transform/split_join.h"

#include <cstdint>
#include <vector>

#include "host/text/vb_text.h"
#include "transform/code_text.h"

namespace marquill::transform {
namespace {

// A remainder longer than the width by at most this much stays whole when it has no break
// character within the width.
constexpr std::size_t kSlack = 5;

using host::kContinuation;

bool IsOperatorChar(char c) {
  switch (c) {
    case '&': case '+': case '-': case '*': case '/': case '\\': case '^':
    case '=': case '<': case '>': case ',': case ':':
      return true;
    default:
      return false;
  }
}

bool IsOperatorWord(std::string_view word) {
  for (std::string_view op : {"And", "Or", "Xor", "Not", "Mod", "Like", "Is", "Eqv", "Imp"}) {
    if (word == op) return true;
  }
  return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Running counts of the characters that make a piece worth a line of its own, for each prefix
// of a line: `code` counts what code holds besides blanks, operators and the punctuation between
// operands (names, numbers, literals, parentheses); `any` counts everything but blanks.
struct ContentCounts {
  std::vector<std::uint32_t> code;
  std::vector<std::uint32_t> any;
};

ContentCounts CountContent(std::string_view text, const std::vector<TextState>& states) {
  ContentCounts counts;
  counts.code.assign(text.size() + 1, 0);
  counts.any.assign(text.size() + 1, 0);
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i + 1;
    bool code = true;
    // The apostrophe opening a comment is no content: a comment piece reopens with its own.
    const bool any =
        !IsBlank(text[i]) && !(states[i] == TextState::kCode && text[i] == '\'');
    if (states[i] == TextState::kCode && text[i] == '"' && i + 1 < text.size() &&
        text[i + 1] == '"' && (i + 2 == text.size() || text[i + 2] != '"')) {
      end = i + 2;  // an empty literal: a piece of only "" & _ is as empty as a mark alone
      code = false;
    } else if (states[i] == TextState::kCode && text[i] != '"' && text[i] != '\'') {
      if (IsWordChar(text[i])) {
        while (end < text.size() && IsWordChar(text[end])) ++end;
        code = !IsOperatorWord(text.substr(i, end - i));
      } else {
        code = any && !IsOperatorChar(text[i]);
      }
    } else if (states[i] == TextState::kComment ||
               (states[i] == TextState::kCode && text[i] == '\'')) {
      code = false;
    }
    for (; i < end; ++i) {
      counts.code[i + 1] = counts.code[i] + (code ? 1 : 0);
      counts.any[i + 1] = counts.any[i] + (any ? 1 : 0);
    }
  }
  return counts;
}

// Where the line's own continuation starts: its mark and the blanks before it. The line's size
// when it has none.
std::size_t TrailingContinuationStart(std::string_view text) {
  if (!host::EndsWithContinuation(text)) return text.size();
  std::size_t start = text.size() - 1;
  while (start > 0 && IsBlank(text[start - 1])) --start;
  return start;
}

// The size the width is held against: the line without its own continuation, nor the ` & `
// after a literal closed just before it, so a piece this command wrote measures what it did when
// it was cut.
std::size_t MeasuredSize(std::string_view text, const std::vector<TextState>& states) {
  std::size_t end = TrailingContinuationStart(text);
  if (end == text.size()) return end;
  if (end >= 3 && text[end - 1] == '&' && IsBlank(text[end - 2]) && text[end - 3] == '"' &&
      states[end - 2] == TextState::kCode) {
    return end - 3;
  }
  return end;
}

// Splits one line (already without its indentation) into pieces. The text still to place, r,
// is an optional reopening character (the quote of a literal or the apostrophe of a comment
// carried over a break) followed by text[offset..]. Lexical states are computed once over the
// whole text: a break carries the state over, so they stay valid for every remainder.
class LineSplitter {
 public:
  LineSplitter(std::string_view text, std::size_t indentation, int width, int continuations_left)
      : text_(text),
        states_(StatesAfterPrefixes(text)),
        content_(CountContent(text, states_)),
        trailing_start_(TrailingContinuationStart(text)),
        indent_(indentation, ' '),
        width_(static_cast<std::size_t>(width)),
        continuations_left_(continuations_left) {}

  std::string Run() {
    std::string out;
    if (Size() == 0) return out;
    // A line that fits once its own continuation is left aside stays: so does every piece this
    // command wrote, and a second run changes nothing.
    if (MeasuredSize(text_, states_) <= width_) {
      AppendHead(out, Size());
      return out;
    }
    while (true) {
      std::size_t p = BackwardSearch();
      if (p == 0 && Size() <= width_ + kSlack) break;
      if (p == 0) p = ForwardSearch();
      if (p == 0 || p == Size()) break;
      const TextState state = states_[TextIndex(p)];
      if (state != TextState::kComment && continuations_left_ <= 0) break;
      // Blanks after a break in code stay on the head: the next piece would otherwise start
      // with them, and a second run would take them for its indentation.
      if (state == TextState::kCode) {
        while (p < Size() && At(p) == ' ') ++p;
      }
      AppendHead(out, p);
      Advance(out, p, state);
    }
    AppendHead(out, Size());
    return out;
  }

 private:
  std::size_t PrefixSize() const { return reopen_ == 0 ? 0 : 1; }
  std::size_t Size() const { return PrefixSize() + text_.size() - offset_; }
  // Index into text_ of the remainder's 0-based position q (q at or past the prefix).
  std::size_t TextIndex(std::size_t q) const { return offset_ + q - PrefixSize(); }
  char At(std::size_t q) const { return q < PrefixSize() ? reopen_ : text_[TextIndex(q)]; }

  // A point in a number (1.5, .5, 12.) is part of the literal, not a place to break.
  bool IsDecimalPoint(std::size_t index) const {
    if (states_[index] != TextState::kCode) return false;
    if (index + 1 < text_.size() && IsDigit(text_[index + 1])) return true;
    if (index == 0 || !IsDigit(text_[index - 1])) return false;
    std::size_t start = index - 1;
    while (start > 0 && IsWordChar(text_[start - 1])) --start;
    return IsDigit(text_[start]);
  }

  bool HasCode(std::size_t from, std::size_t to) const {
    return from < to && content_.code[to] > content_.code[from];
  }
  bool HasAny(std::size_t from, std::size_t to) const {
    return from < to && content_.any[to] > content_.any[from];
  }

  // A break before text_[boundary] must leave two real pieces: neither may be empty, blank, only
  // an operator and a mark, nor a literal emptied by the break; the line's own continuation is
  // no tail. A head reopening a literal holds its quote.
  bool LeavesRealPieces(std::size_t boundary) const {
    if (boundary >= text_.size()) return true;  // nothing follows: the last piece
    switch (states_[boundary]) {
      case TextState::kString: {
        const bool closes = text_[boundary] == '"' &&
                            (boundary + 1 == text_.size() || text_[boundary + 1] != '"');
        return !closes;
      }
      case TextState::kCode:
        return (reopen_ == '"' || HasCode(offset_, boundary)) &&
               HasCode(boundary, trailing_start_);
      case TextState::kComment:
        return HasAny(offset_, boundary) && HasAny(boundary, trailing_start_);
    }
    return true;
  }

  bool IsBreakAt(std::size_t q, char wanted) const {
    if (q < PrefixSize() || At(q) != wanted) return false;
    if (wanted == '.' && IsDecimalPoint(TextIndex(q))) return false;
    return LeavesRealPieces(TextIndex(q) + 1);
  }

  bool IsBreakAt(std::size_t q) const {
    return IsBreakAt(q, ' ') || IsBreakAt(q, '(') || IsBreakAt(q, ')') || IsBreakAt(q, '.');
  }

  // The last break character within the width, as a 1-based position; 0 when there is none or
  // the remainder is shorter than the width.
  std::size_t BackwardSearch() const {
    if (Size() < width_) return 0;
    for (std::size_t p = width_; p >= 1; --p) {
      if (IsBreakAt(p - 1)) return p;
    }
    return 0;
  }

  // First occurrence of `wanted` at or after the width and before 1-based position `before`,
  // 1-based; 0 when there is none.
  std::size_t FirstFrom(char wanted, std::size_t before) const {
    for (std::size_t q = width_ - 1; q + 1 < before; ++q) {
      if (IsBreakAt(q, wanted)) return q + 1;
    }
    return 0;
  }

  // Past the width: the first space, moved back to an earlier parenthesis or point. Without a
  // space there the remainder stays whole, whatever else follows. The other characters are only
  // looked for before that space, so a long line costs one pass, not one per piece.
  std::size_t ForwardSearch() const {
    std::size_t p = FirstFrom(' ', Size() + 1);
    if (p == 0) return 0;
    for (char c : {'(', ')', '.'}) {
      const std::size_t q = FirstFrom(c, p);
      if (q > 0) p = q;
    }
    return p;
  }

  void AppendHead(std::string& out, std::size_t p) const {
    out += indent_;
    if (PrefixSize() > 0) out += reopen_;
    out += text_.substr(offset_, p - PrefixSize());
  }

  void Advance(std::string& out, std::size_t p, TextState state) {
    const std::size_t boundary = TextIndex(p);
    switch (state) {
      case TextState::kString:  // close the literal here, reopen it on the next line
        out += "\" & _";
        reopen_ = '"';
        --continuations_left_;
        break;
      case TextState::kComment:  // the comment goes on as a comment line of its own
        reopen_ = '\'';
        break;
      case TextState::kCode:
        out += kContinuation;
        reopen_ = 0;
        --continuations_left_;
        break;
    }
    out += host::kLineBreak;
    offset_ = boundary;
  }

  std::string_view text_;
  std::vector<TextState> states_;
  ContentCounts content_;
  std::size_t trailing_start_;
  std::string indent_;
  std::size_t width_;
  int continuations_left_;
  std::size_t offset_ = 0;
  char reopen_ = 0;
};

// Continuations the statement holding line `number` already has: the lines above that go on
// into it, and the lines from it down that go on. Counting stops once the limit is passed.
int ContinuationsOfStatement(host::CodeModule& module, int number, std::string_view line) {
  int count = 0;
  for (int k = number - 1;
       k >= 1 && count <= kMaxContinuations && host::EndsWithContinuation(module.Line(k)); --k) {
    ++count;
  }
  if (!host::EndsWithContinuation(line)) return count;
  ++count;
  const int lines = module.CountOfLines();
  for (int k = number + 1;
       k <= lines && count <= kMaxContinuations && host::EndsWithContinuation(module.Line(k));
       ++k) {
    ++count;
  }
  return count;
}

void AppendJoined(std::string& out, std::string_view piece) {
  // A member access written as ".Item" on the next line sticks to what precedes it.
  if (!out.empty() && !piece.starts_with('.')) out += ' ';
  out += piece;
}

}  // namespace

std::string SplitLine(std::string_view line, int width, int continuations_left) {
  if (width <= 0) return std::string(line);
  const std::size_t indentation = static_cast<std::size_t>(host::Indentation(line));
  return LineSplitter(line.substr(indentation), indentation, width, continuations_left).Run();
}

void SplitLines(host::CodeModule& module, int first, int last, int width) {
  if (width <= 0) return;  // no search can start at position 0: nothing is ever split
  for (int i = last; i >= first; --i) {
    const std::string line = module.Line(i);
    if (static_cast<int>(line.size()) <= width) continue;
    const int left = kMaxContinuations - ContinuationsOfStatement(module, i, line);
    module.ReplaceLine(i, SplitLine(line, width, left));
  }
}

void JoinLines(host::CodeModule& module, int first, int last, JoinReport* report) {
  for (int i = first; i <= last; ++i) {
    std::string line = module.Line(i);
    if (!host::EndsWithContinuation(line)) continue;
    const int indentation = host::Indentation(line);
    std::string out;
    int j = 0;
    while (host::EndsWithContinuation(line)) {
      const std::string_view body = std::string_view(line).substr(0, line.size() - 2);
      AppendJoined(out, host::TrimLeadingSpaces(body));
      ++j;
      line = module.Line(i + j);  // fails past the end: the statement stays as it was
    }
    AppendJoined(out, host::TrimLeadingSpaces(line));
    if (static_cast<std::size_t>(indentation) + out.size() > static_cast<std::size_t>(kMaxCodeLine)) {
      // One line could not hold it: the statement stays continued, and the walk goes on after it.
      if (report != nullptr) ++report->left_continued;
      i += j;
      continue;
    }
    module.DeleteLines(i, j + 1);
    module.InsertLines(i, std::string(static_cast<std::size_t>(indentation), ' ') + out);
  }
}

}  // namespace marquill::transform

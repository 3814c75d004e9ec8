#include "transform/split_join.h"

#include <vector>

#include "host/text/vb_text.h"
#include "transform/code_text.h"

namespace marquill::transform {
namespace {

// A remainder longer than the width by at most this much stays whole when it has no break
// character within the width.
constexpr std::size_t kSlack = 5;

using host::kContinuation;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWordChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
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
        indent_(indentation, ' '),
        width_(static_cast<std::size_t>(width)),
        continuations_left_(continuations_left) {}

  std::string Run() {
    std::string out;
    if (Size() == 0) return out;
    while (true) {
      std::size_t p = BackwardSearch();
      if (p == 0 && Size() <= width_ + kSlack) break;
      if (p == 0) p = ForwardSearch();
      if (p == 0 || p == Size()) break;
      const TextState state = states_[TextIndex(p)];
      if (state != TextState::kComment && continuations_left_ <= 0) break;
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

  // The space of the line's own continuation mark: breaking there would leave the underscore
  // alone on the last line, where it no longer continues the statement.
  bool IsMarkSpace(std::size_t index) const {
    return index + kContinuation.size() == text_.size() && text_.ends_with(kContinuation);
  }

  bool IsBreakAt(std::size_t q, char wanted) const {
    if (q < PrefixSize() || At(q) != wanted) return false;
    if (wanted == ' ') return !IsMarkSpace(TextIndex(q));
    return wanted != '.' || !IsDecimalPoint(TextIndex(q));
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

void JoinLines(host::CodeModule& module, int first, int last) {
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
    module.DeleteLines(i, j + 1);
    module.InsertLines(i, std::string(static_cast<std::size_t>(indentation), ' ') + out);
  }
}

}  // namespace marquill::transform

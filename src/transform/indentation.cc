#include "transform/indentation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "host/text/vb_text.h"

namespace marquill::transform {
namespace {

// The code window takes no longer line. A width that would need more indentation fails the
// procedure like a host refusal: otherwise a huge width would make every line of the module that
// long and could exhaust memory.
constexpr std::int64_t kMaxIndentation = 1023;

bool StartsWithAny(std::string_view s, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [&](std::string_view w) { return s.starts_with(w); });
}

bool IsOpener(std::string_view s) {
  return StartsWithAny(s, {"While ", "With ", "For ", "Do "}) || s == "Do" ||
         s.find("Enum ") != std::string_view::npos || s.find("Type ") != std::string_view::npos;
}

std::string Indented(std::string_view s, int width, int level) {
  const std::int64_t spaces = std::int64_t{width} * level;
  if (spaces > kMaxIndentation) throw host::HostError("indentation too wide for a code line");
  std::string out(static_cast<std::size_t>(std::max<std::int64_t>(spaces, 0)), ' ');
  out += s;
  return out;
}

}  // namespace

BlockRule ClassifyLine(std::string_view s) {
  if (IsOpener(s)) return BlockRule::kOpener;
  if (s.starts_with("If ")) return BlockRule::kIf;
  if (StartsWithAny(s, {"Loop", "Wend", "Next", "End "})) return BlockRule::kCloser;
  if (s.starts_with("Else")) return BlockRule::kElse;
  return BlockRule::kOther;
}

bool IfOpensBlock(std::string_view s) {
  // 1-based: p is the position just past "Then" (past "If " start when there is no Then); the
  // line's very last character is never examined.
  const std::size_t then = s.find("Then");
  const std::size_t p = (then == std::string_view::npos ? 0 : then + 1) + 4;
  if (p >= s.size()) return true;
  const std::string_view between = s.substr(p - 1, s.size() - p);
  return between.find_first_not_of(' ') == std::string_view::npos;
}

void IndentLines(host::CodeModule& module, int first, int last, int width) {
  int level = 0;
  for (int i = first; i <= last; ++i) {
    const std::string line = module.Line(i);
    const std::string_view s = host::TrimLeadingSpaces(line);
    int written_at = level;
    switch (ClassifyLine(s)) {
      case BlockRule::kOpener:
        ++level;
        break;
      case BlockRule::kIf:
        if (IfOpensBlock(s)) ++level;
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
    module.ReplaceLine(i, Indented(s, width, written_at));
  }
}

}  // namespace marquill::transform

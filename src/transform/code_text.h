// Where a position of a code line stands, by the line's own text: in code, inside a string
// literal, or in a comment. A double quote toggles between code and string (a doubled quote
// inside a literal toggles twice); the first apostrophe met in code starts a comment that runs
// to the end of the line. `Rem` is not recognised, as elsewhere in the line commands.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace marquill::transform {

// The longest line the code window holds.
inline constexpr int kMaxCodeLine = 1023;

enum class TextState : std::uint8_t { kCode, kString, kComment };

// states[k] is the state after the first k characters, for k from 0 to line.size().
std::vector<TextState> StatesAfterPrefixes(std::string_view line);

// A character of an identifier or a number: letter, digit or underscore.
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsWordChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Index of the comment start, std::string_view::npos when the line has none.
std::size_t CommentStart(std::string_view line);

}  // namespace marquill::transform

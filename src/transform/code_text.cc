#include "transform/code_text.h"

namespace marquill::transform {
namespace {

TextState Next(TextState state, char c) {
  switch (state) {
    case TextState::kCode:
      if (c == '"') return TextState::kString;
      if (c == '\'') return TextState::kComment;
      return TextState::kCode;
    case TextState::kString:
      return c == '"' ? TextState::kCode : TextState::kString;
    case TextState::kComment:
      return TextState::kComment;
  }
  return state;
}

}  // namespace

std::vector<TextState> StatesAfterPrefixes(std::string_view line) {
  std::vector<TextState> states;
  states.reserve(line.size() + 1);
  TextState state = TextState::kCode;
  states.push_back(state);
  for (char c : line) {
    state = Next(state, c);
    states.push_back(state);
  }
  return states;
}

std::size_t CommentStart(std::string_view line) {
  bool in_string = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      in_string = !in_string;
    } else if (line[i] == '\'' && !in_string) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace marquill::transform

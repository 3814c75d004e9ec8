// Line procedure of "Indent": re-indents lines by their block structure, one statement at a time
// (continued statements are joined before, by the command; one too long to join stays continued
// and its lines are all written at the statement's level).
#pragma once

#include <string_view>

#include "host/code_model.h"
#include "transform/code_text.h"

namespace marquill::transform {

// How a statement, without its leading spaces, moves the block level. Keywords are whole words
// with their exact case.
enum class BlockRule {
  kOpener,  // While, With, For, Do, and the Type and Enum declarations: written, then one in
  kIf,      // If ...: written; one level in when nothing but a comment follows Then
  kCloser,  // Loop, Wend, Next, End and a block word: one level out, then written
  kElse,    // Else, ElseIf: written one level out, the level restored after
  kOther,
};

// The first rule that matches, in the order above.
BlockRule ClassifyLine(std::string_view s);

// Whether an If statement opens a block: its Then keyword (outside string literals, before any
// comment) is followed by nothing but blanks and a comment. A statement without Then counts as
// opening one. So "If a Then ' note" opens a block and "If a Then x" does not.
bool IfOpensBlock(std::string_view s);

// Where "Indent" gave up on a module: the indentation a line needs passes the longest code line.
class IndentStop : public host::HostError {
 public:
  IndentStop(int line, const std::string& message) : host::HostError(message), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// Rewrites every line of first..last as width x level spaces followed by the line without its
// leading spaces (tabs stay), the level starting at 0 at `first` and never going below 0. The
// last line is fixed when the walk begins. A line whose indentation would make it longer than a
// code line takes as much as fits. A level that needs more than 1023 spaces stops the procedure
// there with IndentStop, keeping the lines already written.
void IndentLines(host::CodeModule& module, int first, int last, int width);

}  // namespace marquill::transform

// Line procedure of "Indent": re-indents lines by their block structure, one physical line at a
// time (continued statements are joined before, by the command).
#pragma once

#include <string_view>

#include "host/code_model.h"

namespace marquill::transform {

// How a line, without its leading spaces, moves the block level.
enum class BlockRule {
  kOpener,  // While, With, For, Do ..., any "Enum " or "Type ": written, then one level in
  kIf,      // If ...: written; one level in when Then ends the line
  kCloser,  // Loop, Wend, Next, End ...: one level out, then written
  kElse,    // Else...: written one level out, the level restored after
  kOther,
};

// The first rule that matches, in the order above (exact case).
BlockRule ClassifyLine(std::string_view s);

// Whether an If line opens a block: nothing but spaces between its first "Then" and its last
// character. So "If a Then" opens a block and "If a Then b = 1" does not.
bool IfOpensBlock(std::string_view s);

// Rewrites every line of first..last as width x level spaces followed by the line without its
// leading spaces (tabs stay), the level starting at 0 at `first` and never going below 0. The
// last line is fixed when the walk begins. A line that would take more than 1023 spaces of
// indentation (the longest line the code window takes) fails the procedure there.
void IndentLines(host::CodeModule& module, int first, int last, int width);

}  // namespace marquill::transform

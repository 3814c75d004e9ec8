// Line procedures of "Split line at most" and "Use single line (delete _)": breaking long lines
// into pieces joined by the continuation mark " _", and joining continued statements back into
// one line.
#pragma once

#include <string>
#include <string_view>

#include "host/code_model.h"
#include "transform/code_text.h"

namespace marquill::transform {

// The language accepts at most this many line continuations in one statement.
inline constexpr int kMaxContinuations = 24;

// Splits every line of first..last longer than `width`, walking from the last line back. A line
// is broken after a space, "(", ")" or "." (never after a decimal point, nor in the line's own
// continuation: its mark and the blanks before it); a break inside a string literal closes it and
// reopens it on the next line, a break inside a comment starts a new comment line, and a break in
// code adds the continuation mark. Every piece keeps the line's indentation. No break leaves a
// piece that is blank, only a mark, only an operator and a mark, or an emptied literal. A line
// whose text before its own continuation (and before the ` & ` after a literal closed there)
// fits the width stays whole, so running the command on its output changes nothing. A width of
// 0 or less changes nothing.
void SplitLines(host::CodeModule& module, int first, int last, int width);

// One line split at `width`, the pieces separated by CR LF. `continuations_left` is how many
// more continuations the line's statement may take; once they are used up, the rest of the line
// stays whole on the last piece.
std::string SplitLine(std::string_view line, int width, int continuations_left);

// What a join left as it was.
struct JoinReport {
  int left_continued = 0;  // statements one code line could not hold
};

// Joins every continued statement starting in first..last into one line, walking forwards. The
// last line is fixed when the walk begins, so after a join the walk goes on past the statement's
// former end; reading past the module's end fails and ends the procedure. A statement whose one
// line would be longer than a code line holds stays continued, counted in `report`.
void JoinLines(host::CodeModule& module, int first, int last, JoinReport* report = nullptr);

}  // namespace marquill::transform

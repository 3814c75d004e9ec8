// Line procedures of the cleanup commands: "Delete empty rows", "Delete all comments" and
// "Compact constant strings". Each walks its range from the last line back to the first, so a
// line it deletes never shifts a line it has still to visit, and writes every change into the
// module at once. None has an error guard of its own: a host failure ends the procedure and
// leaves the lines already changed as they are.
#pragma once

#include <string>
#include <string_view>

#include "host/code_model.h"

namespace marquill::transform {

// Deletes the empty rows (nothing but spaces; a tab is not empty) of lines first..last. With
// `delete_all` (the "all" box) every one goes; without it each run of empty rows shrinks to its
// last row. Lines outside the range are never looked at.
void DelEmptyRows(host::CodeModule& module, int first, int last, bool delete_all);

// Cuts each line of first..last at its comment start: the first apostrophe outside string
// literals and everything after it go; the text before, spaces included, stays.
void DelComments(host::CodeModule& module, int first, int last);

// Merges string constants joined as `"ab" & "cd"` into `"abcd"` on every line of first..last.
// Every line of the range is written back, changed or not.
void CompactStrings(host::CodeModule& module, int first, int last);

// One line of CompactStrings: the sequence `" & "` is removed only where its first quote closes
// a literal outside a comment, so the program means the same afterwards.
std::string CompactLine(std::string_view line);

}  // namespace marquill::transform

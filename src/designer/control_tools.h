// Control delete and rename: a control of a form, user control or MDI form leaves or changes its
// name together with its code. The code is changed first, the designer second, and both only
// after every check has passed, so a refused command changes nothing.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"

namespace marquill::designer {

// A refused control command; nothing has been changed.
class ControlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The "Name" of every control of the designer, nested ones included, in the designer's order;
// each element of a control array is listed, under the array's name.
std::vector<std::string> ControlNames(host::FormDesigner& designer);

// Whether `line` starts an event procedure of `control`: its statement begins with
// "Private Sub " + control + "_" (exact case, as the IDE writes names).
bool StartsEventProcedure(std::string_view line, std::string_view control);
// Whether the statement `line` ends with is End Sub ("End Sub", "x = 1: End Sub"); words in a
// comment or a string do not count.
bool EndsSub(std::string_view line);

// Removes every event procedure of `control` (of every element, for an array), each from its
// declaration line to its End Sub line. A declaration without an End Sub below it is left alone.
// Returns the number of procedures removed.
int DeleteEventProcedures(host::CodeModule& code, std::string_view control);

// Rewrites one line: whole identifiers `old_name` become `new_name`, and so do the names in
// `procedures` (event procedures, old_name + "_" + event; sorted) with their prefix. String literals are
// left alone; comments are rewritten too. Returns the line unchanged when nothing matched.
std::string RenameInLine(std::string_view line, std::string_view old_name,
                         std::string_view new_name, const std::vector<std::string>& procedures);

// Renames `old_name` to `new_name` through the module; returns the number of lines changed.
int RenameInCode(host::CodeModule& code, std::string_view old_name, std::string_view new_name);

// "" when `new_name` may replace `old_name` on the form `form_name`, else the reason: empty, too
// long (over 40 characters), not an identifier, a reserved word, the form's own name, or the name
// of another control of the form.
std::string CheckNewControlName(host::FormDesigner& designer, std::string_view form_name,
                                std::string_view old_name, std::string_view new_name);

// Deletes control `name` from `component`: its event procedures, then every control of that
// name (nested ones included) from the designer. ControlError when the designer has no such
// control.
void DeleteControl(host::Component& component, std::string_view name);

// Renames control `old_name` (every element of an array) to `new_name`: the code, then the
// designer. ControlError, with nothing changed, when there is no such control or the new name is
// refused.
void RenameControl(host::Component& component, std::string_view old_name,
                   std::string_view new_name);

}  // namespace marquill::designer

// The frame shared by the six line commands of the code tab: where a command works (the whole
// project, the module in the active code pane, or the lines selected there) and how it hands
// each target to its line procedure.
//
// A line procedure takes a code module and a first and last line (1-based, both inclusive) and
// rewrites those lines through the module's own line operations. Each call is one step of the
// command's ignore-errors mode: a failure ends that call, keeps what it changed, and the command
// goes on with the next target.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "host/code_model.h"

namespace marquill::host {

// The "Where" frame: the index of the selected optWhere button.
enum class Scope : int {
  kAllProject = 0,
  kCurrentModule = 1,
  kSelectedText = 2,
};

using LineProcedure = std::function<void(CodeModule& module, int first, int last)>;
using NumberedLineProcedure =
    std::function<void(CodeModule& module, int first, int last, int number)>;

// Types a whole-project walk visits: modules, classes, forms, MDI forms and user controls.
bool IsProcessedType(ComponentType type);

// The entry test of "Split line at most" and "Indent": the field's text read as a real number
// is greater than 0. A text that is no number fails the test.
bool NumberFieldPasses(std::string_view field_text);

// Calls `procedure` once per target of `scope`. With no active project, no active code pane or
// no selection there is no target, and nothing happens.
void RunLineProcedure(Vbe& vbe, Scope scope, const LineProcedure& procedure);

// As above for the procedures that take a whole number: the field's text is read and rounded
// (halves to even) anew for every target, and a text that does not convert skips the target.
// The caller has already run the entry test.
void RunLineProcedure(Vbe& vbe, Scope scope, const std::function<std::string()>& field_text,
                      const NumberedLineProcedure& procedure);

}  // namespace marquill::host

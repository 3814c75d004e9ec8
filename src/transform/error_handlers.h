// The error-handler commands of the "&Err handling&&Export" tab: remove "On Error Resume Next"
// statements, insert one under each procedure's declaration, or insert a custom handler (an
// "On Error GoTo" line under the declaration and a label with its body above the End line).
//
// Each works on the procedures of a whole code module (the component scope) or of one member,
// and never looks for a handler that is already there. Every start line, range and code location
// is asked from the host when it is needed, so earlier insertions never shift later work, and a
// walk over a module stays O(n) in its size. Each procedure is one step of the ignore-errors
// mode: a host refusal skips it and the command goes on with the next one.
//
// Rules that keep the code compiling: a member whose header search does not stop on the line the
// host reports as its declaration (an event, a Declare) is passed over, as is a procedure
// declared and ended on one line; the flavour (Sub, Function, Property) comes from the
// declaration's keyword; an End line is recognised whatever its indentation; and when no End line
// is found the "On Error GoTo" line just inserted is withdrawn.
#pragma once

#include <string>
#include <string_view>

#include "host/code_model.h"

namespace marquill::transform {

inline constexpr std::string_view kResumeNext = "On Error Resume Next";
inline constexpr std::string_view kGoTo = "On Error GoTo ";

// The canned handler bodies, by the index of their option button.
enum class HandlerStyle : int {
  kMsgBox = 0,
  kDebugPrint = 1,
  kCall = 2,
};

// The body of `style`: two lines joined by CR LF, each indented by four spaces, without a break
// after the second. The Call body names `call_name` exactly as given.
std::string HandlerBody(HandlerStyle style, std::string_view call_name);

// What "Insert custom error handler" writes: the label (used as typed, even when empty) and the
// body, inserted as it stands.
struct CustomHandler {
  std::string label;
  std::string body;
};

// What Remove makes of one line: kept, deleted, or (a statement followed by a colon and more
// code) rewritten without the statement and its colon.
struct RemoveResult {
  enum class Action { kKeep, kDelete, kReplace };
  Action action = Action::kKeep;
  std::string replacement;
};
RemoveResult RemoveFromLine(std::string_view line);

// Component scope: every procedure of the module. Members are visited in the host's order:
// methods and events as procedures, properties as their Get, Let and Set procedures.
void RemoveResumeNext(host::CodeModule& module);
void InsertResumeNext(host::CodeModule& module);
void InsertCustomHandlers(host::CodeModule& module, const CustomHandler& handler);

// Member scope: the member `name` of the module, whose type the pickers recorded. Methods and
// properties are handled; any other type is left alone.
void RemoveResumeNext(host::CodeModule& module, std::string_view name, host::MemberType type);
void InsertResumeNext(host::CodeModule& module, std::string_view name, host::MemberType type);
void InsertCustomHandler(host::CodeModule& module, std::string_view name, host::MemberType type,
                         const CustomHandler& handler);

}  // namespace marquill::transform

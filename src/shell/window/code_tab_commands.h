// The line commands of the "C&ode && Shortcuts" tab: the six buttons that rewrite code over the
// target chosen in the "Where" frame, and the two number fields that keep themselves numeric.
//
// Each handler reads the window's fields when it runs and writes every change straight into the
// host's modules; none shows a message, except the question "Indent" asks before it joins
// continued lines.
#pragma once

#include <string_view>

#include "host/scope/command_scope.h"

namespace marquill::shell {

class frmUtility;
struct CodeTab;

inline constexpr std::string_view kIndentQuestion =
    "This will remove multiple line spliting !\r\nContinue ?";
inline constexpr std::string_view kIndentQuestionTitle = "Attention";

// Hooks the tab's buttons and number fields to the handlers below; once per window.
void AttachLineCommands(frmUtility& window);

// The target the "Where" frame selects: "All project" before "Current module" before "Selected
// text".
host::Scope SelectedScope(const CodeTab& tab);

void cmdDelEmpty_Click(frmUtility& window);
void cmdCompactStr_Click(frmUtility& window);
void cndDelAllComments_Click(frmUtility& window);
void cmdDelSplit_Click(frmUtility& window);
void cmdSplit_Click(frmUtility& window);
void cmdIndent_Click(frmUtility& window);

// Both fields take the decimal form of the number read from "0" followed by their text:
// txtSplit when it loses the focus, txtIndent on every change.
void txtSplit_LostFocus(frmUtility& window);
void txtIndent_Change(frmUtility& window);

}  // namespace marquill::shell

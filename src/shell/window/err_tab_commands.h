// The error-handling half of the "&Err handling&&Export" tab: the body styles, the routine name
// of the "Call (name)" style, and the three buttons Remove, Insert and Insert custom error
// handler, which act on the component or member the pickers name ("Apply to:").
//
// The options live only in the window's fields and are read when a button is pressed; the
// buttons show nothing, ask nothing and skip whatever the host refuses.
#pragma once

namespace marquill::shell {

class frmUtility;

// cmbWhereErr entries.
inline constexpr int kApplyToComponent = 0;
inline constexpr int kApplyToMember = 1;

// cmdErrHandler elements.
inline constexpr int kRemoveButton = 0;
inline constexpr int kInsertButton = 1;
inline constexpr int kInsertCustomButton = 2;

// Hooks the whole tab but the HTML export: the pickers and attribute fields, the styles, the
// routine name and the three buttons. Once per window.
void AttachErrorsTab(frmUtility& window);

// Puts the body of style `index` (0 MsgBox, 1 Debug.Print, 2 Call) into txtErrHandler; any other
// index changes nothing.
void optError_Click(frmUtility& window, int index);
// Rebuilds the Call body from the new name while "Call (name)" is the selected style.
void txtCallErr_Change(frmUtility& window);
// 0 Remove, 1 Insert, 2 Insert custom error handler; any other index does nothing.
void cmdErrHandler_Click(frmUtility& window, int index);

}  // namespace marquill::shell

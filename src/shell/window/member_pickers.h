// The component and member pickers of the "&Err handling&&Export" tab and the two attribute
// fields they fill: cmbComponents, cmbMembers, txtDesc and txtHelpCtxID.
//
// The pickers also name the target of the error-handler commands and of the HTML export, which
// read them through SelectedComponent and SelectedMember. Picking shows the attributes read from
// the host; every change of a field writes it back to the member when one is picked, else to the
// component. A host failure while picking shows in a message box titled "Error".
#pragma once

#include <string_view>

#include "host/code_model.h"

namespace marquill::shell {

class frmUtility;

inline constexpr std::string_view kPickFailedTitle = "Error";

// Hooks the pickers and the two fields to the handlers below; once per window.
void AttachMemberPickers(frmUtility& window);

// The component whose name the chosen cmbComponents entry shows, looked up in the active project
// now; nullptr when no entry is chosen or there is no IDE root or project. HostError when the
// project has no component of that name any more.
host::Component* SelectedComponent(frmUtility& window);
// The member the chosen cmbMembers entry names, in the selected component's code module; nullptr
// when no member is chosen. HostError when it cannot be found.
host::Member* SelectedMember(frmUtility& window);

void cmbComponents_Click(frmUtility& window);
void cmbMembers_Click(frmUtility& window);
void txtDesc_Change(frmUtility& window);
void txtHelpCtxID_Change(frmUtility& window);

}  // namespace marquill::shell

// The external tools of the "&Logs && External" tab: server registration (txtRegSrv,
// cmdRegSrvSel "...", cmdRegSrv 0 "Register", 1 "Unregister") and the editor of the IDE's add-in
// list (txtVBAddin, cmdVBAddin 0 "Load", 1 "Save", 2 "Close").
//
// regsvr32 runs through Wine where the machine has it; without a Windows system folder or
// Windows folder the buttons say so in a box titled "Error" and do nothing else. A file that
// cannot be read or written is reported, and the editor keeps its text when a save failed.
#pragma once

namespace marquill::shell {

class frmUtility;

// Hooks the tab's controls; once per window.
void AttachExternalTools(frmUtility& window);

void cmdRegSrvSel_Click(frmUtility& window);
void txtRegSrv_Change(frmUtility& window);
void cmdRegSrv_Click(frmUtility& window, int index);
void cmdVBAddin_Click(frmUtility& window, int index);
void txtVBAddin_Change(frmUtility& window);

}  // namespace marquill::shell

// The "&Forms" and "&Controls" tabs: the form property batch editor with its icon and colour
// pickers, control delete and rename, and the tab order editor.
//
// Every handler reads the window's fields when it runs and writes straight into the active
// project's designers and code. A refused input (an icon file that is not one, a new name the
// form would not take, a tab order naming unknown controls) shows why in a box titled "Error"
// and changes nothing; everything else is silent, as the window's other commands are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/platform/platform_services.h"

namespace marquill::shell {

class frmUtility;
struct FormsTab;

inline constexpr std::string_view kIconFilter = "Icon file (*.ico)|*.ico";
inline constexpr std::string_view kIconTitle = "Select an icon";

// Hooks both tabs' controls to the handlers below; once per window.
void AttachDesignerTabs(frmUtility& window);

// The forms ticked in lstForms, first to last.
std::vector<std::string> TickedForms(const FormsTab& tab);

// "&Forms": pick the icon (0) or the back colour (1); write one property on the ticked forms.
void pctForms_Click(frmUtility& window, int index);
void cmdChange_Click(frmUtility& window, int index);
void cmdTaskBar_Click(frmUtility& window, int index);
void cmdTrueFalse_Click(frmUtility& window, int index);

// "&Controls": list the chosen form's controls; delete or rename the chosen one.
void cmbForms_Click(frmUtility& window);
void cmdDelControl_Click(frmUtility& window);
void cmdRenControl_Click(frmUtility& window);

// The tab order lists: read, write, move between the lists (> >> < <<), move up or down.
void cmdGetTab_Click(frmUtility& window);
void cmdSaveTab_Click(frmUtility& window);
void cmdTab_Click(frmUtility& window, int index);
void cmdTabUpDown_Click(frmUtility& window, int index);

}  // namespace marquill::shell

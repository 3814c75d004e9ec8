// The time log's commands: "Time counting" on the menu and the toolbar, and the log viewer on the
// "&Logs && External" tab (txtLogs, txtTotalLogs, cmdLogs 0 "Load", 1 "Save", 2 "Close").
//
// Unlike the rest of the add-in these commands report a file they cannot read or write: the
// clock then stays as it was, and a log is never replaced by a viewer text that was not loaded
// from it.
#pragma once

#include <string>
#include <string_view>

namespace marquill::shell {

class Connect;
class frmUtility;

// Starts the clock when it is stopped and stops it otherwise: appends the line to the active
// project's log, shows the clock state on the toolbar button (face 105 running, 102 stopped) and
// shows the line in a message box.
void ToggleClock(Connect& addin);

// Hooks cmdLogs to the viewer's cmdLogs_Click(index); once per window.
void AttachTimeLogViewer(frmUtility& window);

// The viewer's text of a log file: every line followed by CR LF, whatever ended it in the file.
std::string ViewerText(std::string_view bytes);

}  // namespace marquill::shell

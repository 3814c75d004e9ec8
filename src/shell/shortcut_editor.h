// The shortcut editor of the "C&ode && Shortcuts" tab: the list lstShortcuts, the text
// txtShortcut and the buttons cmdShortcut 0 "New", 1 "Delete", 2 "Save".
//
// List entry k, toolbar box entry k+1 and cache slot k always describe the same shortcut. Each
// command changes the database first and the lists only when the database took the change, so a
// failed statement loses nothing and leaves no list out of step; rows are addressed by their ID,
// so shortcuts sharing a name never touch each other.
#pragma once

#include <string>
#include <string_view>

namespace marquill::shell {

class frmUtility;

inline constexpr std::string_view kNewShortcutPrompt = "The name of the new shortcut?";
inline constexpr std::string_view kNewShortcutTitle = "New shortcut";
inline constexpr int kMaxShortcutName = 50;

// Hooks the list, the text and the buttons; once per window.
void AttachShortcutEditor(frmUtility& window);

void lstShortcuts_Click(frmUtility& window);
void txtShortcut_Change(frmUtility& window);
void cmdShortcut_Click(frmUtility& window, int index);

// Why `name` cannot name a shortcut, "" when it can: empty, longer than 50 characters, or
// holding a line break.
std::string ShortcutNameProblem(std::string_view name);

}  // namespace marquill::shell

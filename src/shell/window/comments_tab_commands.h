// The "Co&mments" tab: the comment settings (loaded as the window's last load step, written back
// by "&Save"), the module picker that lists a module's members ticked, the count field that keeps
// itself a whole number, and "&Insert", which writes the header comments.
//
// Settings are read from the fields whenever a button runs, so unsaved edits take effect at once.
// A database that cannot be read or written is reported in a box titled "Error"; the fields are
// then left as they were.
#pragma once

#include <vector>

#include "docs/comment_settings.h"
#include "docs/header_comments.h"

namespace marquill::shell {

class frmUtility;
struct CommentsTab;

// Hooks the tab's controls to the handlers below and the settings load to the window's load;
// once per window.
void AttachCommentCommands(frmUtility& window);

// The eight fields as settings; a switch is on only when its box is ticked.
docs::CommentSettings CommentSettingsOf(const CommentsTab& tab);
// Fills the fields in the order the load sets them: the four boxes, txtDelim, txtDelimNr,
// txtCommentFormat, txtCmtLine.
void ShowCommentSettings(CommentsTab& tab, const docs::CommentSettings& settings);
// The ticked entries of the member checklist, by their text and member type.
std::vector<docs::HeaderMember> TickedMembers(const CommentsTab& tab);

// The load step: reads the settings into the fields when the database opened.
void LoadCommentSettings(frmUtility& window);

void cmdCommentSave_Click(frmUtility& window);
void cmdCommentInsert_Click(frmUtility& window);
void cmbCmtModules_Click(frmUtility& window);
void txtDelimNr_Change(frmUtility& window);

}  // namespace marquill::shell

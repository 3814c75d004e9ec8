#include "shell/window/comments_tab_commands.h"

#include "host/ignore_errors.h"
#include "shell/addin_shared.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

// The module the picker names, or nullptr when it is gone or holds no code.
host::CodeModule* PickedModule(frmUtility& window) {
  host::Vbe* vbe = window.Vbe();
  host::Project* project = vbe != nullptr ? vbe->ActiveProject() : nullptr;
  if (project == nullptr) return nullptr;
  return project->Components().Item(window.cmbCmtModules.Text()).CodeModule();
}

void ReportDatabaseFailure(frmUtility& window) {
  window.Platform().Message(host::kOpenFailedText, host::kOpenFailedTitle);
}

}  // namespace

docs::CommentSettings CommentSettingsOf(const CommentsTab& tab) {
  docs::CommentSettings settings;
  settings.module_comments = tab.chkComments(0).On();
  settings.standard_comments = tab.chkComments(1).On();
  settings.also = tab.chkComments(2).On();
  settings.delimiters = tab.chkComments(3).On();
  settings.delim = tab.txtDelim.Text();
  settings.delim_count = tab.txtDelimNr.Text();
  settings.member_line = tab.txtCmtLine.Text();
  settings.module_template = tab.txtCommentFormat.Text();
  return settings;
}

void ShowCommentSettings(CommentsTab& tab, const docs::CommentSettings& settings) {
  tab.chkComments(0).SetValue(settings.module_comments ? 1 : 0);
  tab.chkComments(1).SetValue(settings.standard_comments ? 1 : 0);
  tab.chkComments(2).SetValue(settings.also ? 1 : 0);
  tab.chkComments(3).SetValue(settings.delimiters ? 1 : 0);
  tab.txtDelim.SetText(settings.delim);
  tab.txtDelimNr.SetText(settings.delim_count);
  tab.txtCommentFormat.SetText(settings.module_template);
  tab.txtCmtLine.SetText(settings.member_line);
}

std::vector<docs::HeaderMember> TickedMembers(const CommentsTab& tab) {
  std::vector<docs::HeaderMember> members;
  for (int i = 0; i < tab.lstComment.ListCount(); ++i) {
    if (!tab.lstComment.Selected(i)) continue;
    members.push_back(
        {tab.lstComment.List(i), static_cast<host::MemberType>(tab.lstComment.ItemData(i))});
  }
  return members;
}

void LoadCommentSettings(frmUtility& window) {
  host::Database& database = window.Shared().database;
  // The window's load has just tried to open it and said so when that failed.
  if (!database.IsOpen()) return;
  std::optional<docs::CommentSettings> settings;
  try {
    settings = docs::LoadCommentSettings(database);
  } catch (const host::HostError&) {
    ReportDatabaseFailure(window);
    return;
  }
  // An empty table leaves the design-time fields.
  if (settings) ShowCommentSettings(window, *settings);
}

void cmdCommentSave_Click(frmUtility& window) {
  try {
    docs::SaveCommentSettings(window.Shared().database, CommentSettingsOf(window));
  } catch (const host::HostError&) {
    // A save that did not happen must not pass for one that did.
    ReportDatabaseFailure(window);
  }
}

void cmdCommentInsert_Click(frmUtility& window) {
  if (window.cmbCmtModules.ListIndex() < 0) {
    window.Platform().Message(docs::kSelectModuleFirst, docs::kSelectModuleFirstTitle);
    return;
  }
  host::Step([&window] {
    host::CodeModule* module = PickedModule(window);
    if (module == nullptr) return;
    docs::InsertHeaders(*module, TickedMembers(window), CommentSettingsOf(window));
  });
}

void cmbCmtModules_Click(frmUtility& window) {
  ListBox& list = window.lstComment;
  list.Clear();
  host::Step([&window, &list] {
    host::CodeModule* module = PickedModule(window);
    if (module == nullptr) return;
    for (const docs::HeaderMember& member : docs::HeaderCandidates(*module)) {
      const int entry = list.AddItem(member.name);
      list.SetItemData(entry, static_cast<std::int32_t>(member.type));
      list.SetSelected(entry, true);
    }
  });
}

void txtDelimNr_Change(frmUtility& window) {
  window.txtDelimNr.SetText(docs::DelimCountText(window.txtDelimNr.Text()));
}

void AttachCommentCommands(frmUtility& window) {
  window.cmdCommentSave.OnClick([&window] { cmdCommentSave_Click(window); });
  window.cmdCommentInsert.OnClick([&window] { cmdCommentInsert_Click(window); });
  window.cmbCmtModules.OnClick([&window] { cmbCmtModules_Click(window); });
  window.txtDelimNr.OnChange([&window] { txtDelimNr_Change(window); });
  window.OnLoad(LoadStep::kCommentSettings, [&window] { LoadCommentSettings(window); });
}

}  // namespace marquill::shell

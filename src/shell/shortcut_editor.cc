#include "shell/shortcut_editor.h"

#include "host/ignore_errors.h"
#include "host/store/database.h"
#include "shell/addin_shared.h"
#include "shell/time_log.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {

namespace {

// Runs one statement on the window's open connection and returns the rows it changed; -1 after
// telling the user why it failed.
std::int64_t Execute(frmUtility& window, const std::string& sql, std::int64_t* new_id = nullptr) {
  try {
    host::Connection& connection = window.Shared().database.connection();
    const std::int64_t changed = connection.Execute(sql);
    if (new_id != nullptr) *new_id = connection.LastInsertId();
    return changed;
  } catch (const host::HostError& error) {
    window.Platform().Message("Marquill.mdb did not take the change: " + std::string(error.what()) +
                                  ". The shortcuts are as they were.",
                              kErrorTitle);
    return -1;
  }
}

void AddToBox(frmUtility& window, const std::string& name) {
  host::Step([&] {
    if (CommandBarControl* box = window.Shared().shortcut_box) box->AddItem(name);
  });
}

void RemoveFromBox(frmUtility& window, int entry) {
  host::Step([&] {
    if (CommandBarControl* box = window.Shared().shortcut_box) box->RemoveItem(entry);
  });
}

void NewShortcut(frmUtility& window) {
  std::optional<std::string> answer =
      window.Platform().InputBox(kNewShortcutPrompt, kNewShortcutTitle, "");
  if (!answer) return;  // cancelled
  const std::string problem = ShortcutNameProblem(*answer);
  if (!problem.empty()) return window.Platform().Message(problem, kErrorTitle);
  std::int64_t id = 0;
  if (Execute(window, host::InsertShortcutSql(*answer), &id) < 0) return;
  const int entry = window.lstShortcuts.AddItem(*answer);
  window.Shared().shortcuts.Put(entry, *answer, "", id);
  AddToBox(window, *answer);
}

void DeleteShortcut(frmUtility& window) {
  const int entry = window.lstShortcuts.ListIndex();
  if (entry < 0) return;
  ShortcutCache& cache = window.Shared().shortcuts;
  // A row someone else deleted already is gone all the same: the lists follow.
  if (Execute(window, host::DeleteShortcutSql(cache.ids[static_cast<std::size_t>(entry)])) < 0) {
    return;
  }
  window.txtShortcut.SetText("");
  RemoveFromBox(window, entry + 1);
  cache.Remove(entry);
  window.lstShortcuts.RemoveItem(entry);
}

void SaveShortcut(frmUtility& window) {
  const int entry = window.lstShortcuts.ListIndex();
  if (entry < 0) return;
  ShortcutCache& cache = window.Shared().shortcuts;
  const auto slot = static_cast<std::size_t>(entry);
  const std::string& text = window.txtShortcut.Text();
  const std::int64_t changed = Execute(window, host::UpdateShortcutSql(cache.ids[slot], text));
  if (changed < 0) return;
  if (changed == 0) {
    return window.Platform().Message("The shortcut " + cache.names[slot] +
                                         " is no longer in Marquill.mdb; its text was not saved.",
                                     kErrorTitle);
  }
  cache.contents[slot] = text;
  window.cmdShortcut(2).SetEnabled(false);
}

}  // namespace

std::string ShortcutNameProblem(std::string_view name) {
  if (name.empty()) return "A shortcut needs a name.";
  if (name.find_first_of("\r\n") != std::string_view::npos) {
    return "A shortcut's name is one line; it cannot hold a line break.";
  }
  if (name.size() > static_cast<std::size_t>(kMaxShortcutName)) {
    return "A shortcut's name has at most " + std::to_string(kMaxShortcutName) +
           " characters; this one has " + std::to_string(name.size()) + ".";
  }
  return "";
}

void lstShortcuts_Click(frmUtility& window) {
  const int entry = window.lstShortcuts.ListIndex();
  const ShortcutCache& cache = window.Shared().shortcuts;
  if (entry < 0 || entry > cache.LastIndex()) return;
  window.txtShortcut.SetText(cache.contents[static_cast<std::size_t>(entry)]);
}

void txtShortcut_Change(frmUtility& window) { window.cmdShortcut(2).SetEnabled(true); }

void cmdShortcut_Click(frmUtility& window, int index) {
  switch (index) {
    case 0:
      return NewShortcut(window);
    case 1:
      return DeleteShortcut(window);
    case 2:
      return SaveShortcut(window);
    default:
      return;
  }
}

void AttachShortcutEditor(frmUtility& window) {
  window.lstShortcuts.OnClick([&window] { lstShortcuts_Click(window); });
  window.txtShortcut.OnChange([&window] { txtShortcut_Change(window); });
  window.cmdShortcut.OnClick([&window](int index) { cmdShortcut_Click(window, index); });
}

}  // namespace marquill::shell

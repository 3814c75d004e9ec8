#include "shell/connect.h"

#include "host/ignore_errors.h"
#include "shell/ide_window_commands.h"
#include "shell/time_log_commands.h"

namespace marquill::shell {

namespace {

using host::Step;

// Adds a control to `controls` and sets its caption; nullptr when the bar refused.
CommandBarControl* AddControl(CommandBarControls* controls, CommandBarControlType type,
                              std::string_view caption) {
  CommandBarControl* control = nullptr;
  Step([&] {
    if (controls == nullptr) throw host::HostError("no bar to add to");
    control = &controls->Add(type);
  });
  Step([&] {
    if (control != nullptr) control->SetCaption(caption);
  });
  return control;
}

void SetFace(CommandBarControl* control, int face) {
  Step([&] {
    if (control != nullptr) control->SetFace(face);
  });
}

void Delete(CommandBarControl*& control) {
  Step([&] {
    if (control != nullptr) control->Delete();
  });
  control = nullptr;
}

}  // namespace

Connect::Connect(AddinServices services)
    : services_(std::move(services)), shared_(services_.addin_folder) {}

Connect::~Connect() = default;

void Connect::Hook(CommandBarControl* control, void (Connect::*command)()) {
  Step([&] {
    if (control == nullptr) throw host::HostError("no control to hook");
    hooks_.push_back(bars_->HookClick(*control, [this, command] { (this->*command)(); }));
  });
}

// Every step runs on its own: a refusal of the host skips that step only.
void Connect::OnConnection(host::Vbe& vbe, CommandBars& command_bars) {
  vbe_ = &vbe;
  bars_ = &command_bars;
  Step([&] { toolbar_ = &bars_->Item(kToolbarName); });
  if (toolbar_ == nullptr) Step([&] { toolbar_ = &bars_->Add(kToolbarName, kBarTop); });
  Step([&] {
    if (toolbar_ != nullptr) toolbar_->SetVisible(true);
  });
  clock_running_ = false;
  BuildMenu();
  BuildToolbar();
  LoadShortcuts();
  Hook(cmd_open_, &Connect::OpenMainWindow);
  Hook(cmd_time_, &Connect::TimeCounting);
  Hook(cmd_close_, &Connect::CloseAllWindows);
  Hook(cmd_clear_, &Connect::ClearImmediateWindow);
  Hook(cmd_shortcuts_, &Connect::PasteShortcut);
}

void Connect::BuildMenu() {
  Step([&] { addins_menu_ = &bars_->Item(kAddInsMenuName); });
  if (addins_menu_ == nullptr) return;  // no submenu; the toolbar is built as usual
  CommandBarControls* menu_controls = nullptr;
  Step([&] { menu_controls = &addins_menu_->Controls(); });
  popup_ = AddControl(menu_controls, CommandBarControlType::kPopup, kPopupCaption);
  CommandBarControls* items = nullptr;
  Step([&] {
    if (popup_ != nullptr) items = &popup_->Controls();
  });
  menu_open_ = AddControl(items, CommandBarControlType::kButton, "Open...");
  SetFace(menu_open_, kFaceLogo);
  Hook(menu_open_, &Connect::OpenMainWindow);
  menu_time_ = AddControl(items, CommandBarControlType::kButton, "Time counting");
  Hook(menu_time_, &Connect::TimeCounting);
  menu_close_ = AddControl(items, CommandBarControlType::kButton, "Close all windows");
  Hook(menu_close_, &Connect::CloseAllWindows);
  menu_clear_ = AddControl(items, CommandBarControlType::kButton, "Clear Immediate window");
  Hook(menu_clear_, &Connect::ClearImmediateWindow);
}

void Connect::BuildToolbar() {
  CommandBarControls* controls = nullptr;
  Step([&] {
    if (toolbar_ != nullptr) controls = &toolbar_->Controls();
  });
  cmd_open_ = AddControl(controls, CommandBarControlType::kButton, "VB Marquill");
  SetFace(cmd_open_, kFaceLogo);
  Step([&] {
    if (cmd_open_ != nullptr) cmd_open_->SetBeginGroup(true);
  });
  cmd_time_ = AddControl(controls, CommandBarControlType::kButton, "Time counting");
  SetFace(cmd_time_, kFaceClock);
  cmd_close_ = AddControl(controls, CommandBarControlType::kButton, "Close all windows");
  SetFace(cmd_close_, kFaceCross);
  cmd_clear_ = AddControl(controls, CommandBarControlType::kButton, "Clear Immediate window");
  SetFace(cmd_clear_, kFaceWindow);
  cmd_shortcuts_ = AddControl(controls, CommandBarControlType::kComboBox, "Shortcuts...");
  Step([&] {
    if (cmd_shortcuts_ != nullptr) cmd_shortcuts_->SetWidth(kShortcutBoxWidth);
  });
  shared_.shortcut_box = cmd_shortcuts_;
}

void Connect::LoadShortcuts() {
  ShortcutCache& cache = shared_.shortcuts;
  cache.Create();
  host::ConnectDatabase(shared_.database, [this](std::string_view text, std::string_view title) {
    Platform().Message(text, title);
  });
  int slot = 0;
  for (const host::ShortcutRow& row : host::ReadShortcuts(shared_.database)) {
    // A row without a name cannot be listed in the editor; leaving it out of the box as well
    // keeps box entry k+1, list entry k and slot k on the same shortcut.
    if (row.name.empty()) continue;
    Step([&] {
      if (cmd_shortcuts_ != nullptr) cmd_shortcuts_->AddItem(row.name);
    });
    cache.Put(slot++, row.name, row.content, row.id);
  }
  Step([&] { shared_.database.Close(); });
}

void Connect::OnDisconnection() {
  RemoveControls();
  hooks_.clear();
  shared_.shortcut_box = nullptr;
  if (clock_running_ && vbe_ != nullptr) {
    Step([&] {
      host::Project* project = vbe_->ActiveProject();
      if (project != nullptr) WriteStopLine(services_.time_log, *project);
    });
  }
  Step([&] { shared_.database.ReleaseObjects(); });
  UnloadMainWindow();
}

void Connect::RemoveControls() {
  Delete(menu_clear_);
  Delete(menu_close_);
  Delete(menu_time_);
  Delete(menu_open_);
  Delete(popup_);
  Delete(cmd_open_);
  Delete(cmd_time_);
  Delete(cmd_close_);
  Delete(cmd_clear_);
  Delete(cmd_shortcuts_);
  // The toolbar stays only while it holds a control someone else put there.
  Step([&] {
    if (toolbar_ != nullptr && toolbar_->Controls().Count() == 0) toolbar_->Delete();
  });
  toolbar_ = nullptr;
  addins_menu_ = nullptr;
}

void Connect::OpenMainWindow() {
  if (!window_) {
    window_ = std::make_unique<frmUtility>(
        WindowContext{services_.platform, services_.settings, shared_, services_.addin_folder,
                      &services_.time_log});
    window_->Load();
  }
  window_->SetVbe(vbe_);
  window_->Show();
}

void Connect::UnloadMainWindow() {
  if (!window_) return;
  window_->Unload();
  window_.reset();
}

void Connect::TimeCounting() {
  if (time_counting_) {
    time_counting_(*this);
  } else {
    ToggleClock(*this);
  }
}

void Connect::CloseAllWindows() {
  if (vbe_ != nullptr) shell::CloseAllWindows(*vbe_);
}

void Connect::ClearImmediateWindow() {
  if (vbe_ != nullptr) shell::ClearImmediateWindow(*vbe_);
}

void Connect::PasteShortcut() {
  Step([&] {
    if (vbe_ == nullptr || cmd_shortcuts_ == nullptr) return;
    host::CodePane* pane = vbe_->ActiveCodePane();
    if (pane == nullptr) return;
    int line = pane->GetSelection().start_line;
    int chosen = cmd_shortcuts_->ListIndex();
    // Box entry p shows cache slot p-1; with nothing chosen there is nothing to paste.
    const std::vector<std::string>& contents = shared_.shortcuts.contents;
    if (chosen < 1 || chosen > static_cast<int>(contents.size())) return;
    pane->CodeModule().InsertLines(line, contents[static_cast<std::size_t>(chosen - 1)]);
  });
}

}  // namespace marquill::shell

// The add-in class the host creates when it loads the add-in.
//
// At connection it builds the "Marquill" submenu under "Add-Ins" and the "VB Hobrook" toolbar,
// fills the toolbar's shortcut box and the shortcut cache from the database, and hooks a Click to
// every control it made; at disconnection it removes all of it again. Everything in between is a
// Click routed to one of the shell's commands.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/code_model.h"
#include "shell/addin_shared.h"
#include "shell/command_bars/command_bars.h"
#include "shell/platform/platform_services.h"
#include "shell/settings/settings_store.h"
#include "shell/time_log.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {

inline constexpr std::string_view kToolbarName = "VB Hobrook";
inline constexpr std::string_view kAddInsMenuName = "Add-Ins";
inline constexpr std::string_view kPopupCaption = "Marquill";
inline constexpr int kShortcutBoxWidth = 160;

// What the host around the add-in provides, beyond the IDE root and its command bars.
struct AddinServices {
  PlatformServices& platform;
  SettingsStore& settings;
  TimeLog& time_log;
  // Ends in the path separator.
  std::string addin_folder;
};

class Connect {
 public:
  explicit Connect(AddinServices services);
  ~Connect();
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // The host's add-in events. The connect mode, add-in instance and custom arrays are not used.
  void OnConnection(host::Vbe& vbe, CommandBars& command_bars);
  void OnDisconnection();
  void OnStartupComplete() {}
  void OnAddInsUpdate() {}

  // The commands the hooks run; menu and toolbar share them.
  void OpenMainWindow();
  void TimeCounting();
  void CloseAllWindows();
  void ClearImmediateWindow();
  void PasteShortcut();

  // The main window, nullptr while it is not loaded.
  frmUtility* MainWindow() { return window_.get(); }
  // Closing the main window: unloads it and lets it go.
  void UnloadMainWindow();

  // The clock flag: false at every connection; the time counting command flips it.
  bool ClockRunning() const { return clock_running_; }
  void SetClockRunning(bool running) { clock_running_ = running; }
  // What "Time counting" does instead of toggling the clock (tests count the clicks with it).
  void SetTimeCountingCommand(std::function<void(Connect&)> command) {
    time_counting_ = std::move(command);
  }

  host::Vbe* Vbe() { return vbe_; }
  AddinShared& Shared() { return shared_; }
  PlatformServices& Platform() { return services_.platform; }
  TimeLog& Log() { return services_.time_log; }
  // Row 7, the toolbar's "Time counting" button, whose face shows the clock state.
  CommandBarControl* TimeButton() { return cmd_time_; }

 private:
  void BuildToolbar();
  void BuildMenu();
  void LoadShortcuts();
  void Hook(CommandBarControl* control, void (Connect::*command)());
  void RemoveControls();

  AddinServices services_;
  AddinShared shared_;
  host::Vbe* vbe_ = nullptr;
  CommandBars* bars_ = nullptr;

  CommandBar* toolbar_ = nullptr;
  CommandBar* addins_menu_ = nullptr;
  CommandBarControl* popup_ = nullptr;
  CommandBarControl* menu_open_ = nullptr;
  CommandBarControl* menu_time_ = nullptr;
  CommandBarControl* menu_close_ = nullptr;
  CommandBarControl* menu_clear_ = nullptr;
  CommandBarControl* cmd_open_ = nullptr;
  CommandBarControl* cmd_time_ = nullptr;
  CommandBarControl* cmd_close_ = nullptr;
  CommandBarControl* cmd_clear_ = nullptr;
  CommandBarControl* cmd_shortcuts_ = nullptr;
  bool clock_running_ = false;
  // m_evtMenuOpen ... m_evtMenuClear, then m_evtCmdOpen ... m_evtCmdShortcuts, in hook order.
  std::vector<std::unique_ptr<ClickHook>> hooks_;

  std::function<void(Connect&)> time_counting_;
  std::unique_ptr<frmUtility> window_;
};

}  // namespace marquill::shell

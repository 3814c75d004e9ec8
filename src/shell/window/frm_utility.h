// The add-in's main window: a modeless window captioned "Marquill" holding the tab strip SSTab1
// with eight tabs of source-code tools.
//
// The window itself loads, activates and unloads in a fixed order, keeps its tab and position in
// the settings store, and opens the help page. Each tab's controls come from tabs.h; each tab's
// behaviour is attached by the subsystem that owns it (see AttachTabBehaviours in the .cc).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"
#include "shell/platform/platform_services.h"
#include "shell/settings/settings_store.h"
#include "shell/window/common_dialog.h"
#include "shell/window/tabs.h"

namespace marquill::shell {

struct AddinShared;
class TimeLog;

// Key code of F1 in the window's key-down event.
inline constexpr int kKeyF1 = 112;

// The tab captions, by index; "&Start" (7) is the one a first start opens.
inline constexpr int kStartTab = 7;

// What the window needs from the add-in around it. All references outlive the window.
struct WindowContext {
  PlatformServices& platform;
  SettingsStore& settings;
  // The module-level values shared with Connect: database, shortcut cache, toolbar box.
  AddinShared& shared;
  // Ends in the path separator; holds the database, the help page and the default export folder.
  std::string addin_folder;
  // The project time logs the viewer reads and writes; nullptr leaves the viewer without files.
  TimeLog* time_log = nullptr;
};

// Load steps that belong to other tabs' subsystems; they run at their place in the load order.
enum class LoadStep {
  kKeywordTables,    // first: the keyword lists of the HTML colouring
  kCommentSettings,  // last, once the database is open: the comment settings
};

class frmUtility : public FormsTab,
                   public ControlsTab,
                   public CodeTab,
                   public CommentsTab,
                   public ErrorsTab,
                   public AnalyserTab,
                   public LogsTab,
                   public StartTab {
 public:
  // Where the window stands when no position was saved, in twips.
  static constexpr double kDesignTop = 1200;
  static constexpr double kDesignLeft = 1800;

  explicit frmUtility(WindowContext context);
  ~frmUtility();
  frmUtility(const frmUtility&) = delete;
  frmUtility& operator=(const frmUtility&) = delete;

  // Life cycle, in the order the opener and the front end drive it.
  void Load();                  // once, right after the window is created
  void SetVbe(host::Vbe* vbe);  // the opener hands over the IDE root after the load
  void Show();                  // shown modeless; the window becomes active
  void Activate();              // every time the window becomes active
  void Unload();                // closing the window; the opener then destroys it
  void KeyDown(int key_code, int shift);

  bool IsLoaded() const { return loaded_; }
  bool Visible() const { return visible_; }
  const std::string& Caption() const { return caption_; }
  double Top() const { return top_; }
  double Left() const { return left_; }
  void Move(double top, double left);

  host::Vbe* Vbe() const { return vbe_; }
  PlatformServices& Platform() { return context_.platform; }
  SettingsStore& Settings() { return context_.settings; }
  AddinShared& Shared() { return context_.shared; }
  const std::string& AddinFolder() const { return context_.addin_folder; }
  TimeLog* Log() { return context_.time_log; }
  bool ComponentListsFilled() const { return component_lists_filled_; }

  // Every control, tab by tab, in design order.
  const ControlList& AllControls() const { return all_controls_; }
  // The control `name` (index -1) or the element `name(index)`; nullptr when there is none.
  Control* FindControl(std::string_view name, int index = -1) const;
  // Whether `name` is a control array.
  bool IsControlArray(std::string_view name) const;

  // For subsystems attaching behaviour: a step of the load sequence, and state that lives as
  // long as the window.
  void OnLoad(LoadStep step, std::function<void()> action);
  void KeepAlive(std::shared_ptr<void> state) { kept_.push_back(std::move(state)); }

  // Handlers of the window's own controls.
  void cmdHelp_Click();

  TabStrip SSTab1;
  CommonDialog cd1;

 private:
  void AttachTabBehaviours();
  void RunLoadStep(LoadStep step);
  void RestoreTabAndPosition();
  void FillShortcutList();
  void FillComponentLists();
  void SaveTabAndPosition();

  WindowContext context_;
  std::string caption_ = "Marquill";
  host::Vbe* vbe_ = nullptr;
  bool loaded_ = false;
  bool visible_ = false;
  double top_ = kDesignTop;
  double left_ = kDesignLeft;
  bool component_lists_filled_ = false;
  ControlList all_controls_;
  std::vector<std::pair<LoadStep, std::function<void()>>> load_steps_;
  std::vector<std::shared_ptr<void>> kept_;
};

// The window's tab captions, by index.
const std::vector<std::string>& TabCaptions();

// Writes the add-in's help page under `addin_folder` ("help/index.htm") unless it is there, and
// returns its path. Throws std::system_error when it cannot be written.
std::string InstallHelpPage(const std::string& addin_folder);

}  // namespace marquill::shell

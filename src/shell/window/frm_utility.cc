#include "shell/window/frm_utility.h"

#include <filesystem>
#include <stdexcept>

#include "host/ignore_errors.h"
#include "host/text/vb_text.h"
#include "shell/addin_shared.h"
#include "shell/resources/resources.h"
#include "host/files/file_io.h"
#include "shell/external_tools_tab.h"
#include "shell/shortcut_editor.h"
#include "shell/time_log_commands.h"
#include "shell/window/code_tab_commands.h"
#include "shell/window/comments_tab_commands.h"
#include "shell/window/designer_tab_commands.h"
#include "shell/window/err_tab_commands.h"
#include "shell/window/export_tab_commands.h"

namespace marquill::shell {

namespace {

bool Listed(host::ComponentType type) {
  using host::ComponentType;
  return type == ComponentType::kStdModule || type == ComponentType::kClassModule ||
         type == ComponentType::kVBForm || type == ComponentType::kMDIForm ||
         type == ComponentType::kUserControl;
}

bool IsForm(host::ComponentType type) {
  return type == host::ComponentType::kVBForm || type == host::ComponentType::kMDIForm;
}

void AddWithType(ComboBox& combo, const std::string& name, host::ComponentType type) {
  int entry = combo.AddItem(name);
  combo.SetItemData(entry, static_cast<std::int32_t>(type));
}

}  // namespace

const std::vector<std::string>& TabCaptions() {
  static const std::vector<std::string> captions = {"&Forms",
                                                    "&Controls",
                                                    "C&ode && Shortcuts",
                                                    "Co&mments",
                                                    "&Err handling&&Export",
                                                    "&Analyser",
                                                    "&Logs && External",
                                                    "&Start"};
  return captions;
}

std::string InstallHelpPage(const std::string& addin_folder) {
  std::filesystem::path folder = std::filesystem::path(addin_folder) / "help";
  std::string path = (folder / "index.htm").string();
  std::error_code error;
  if (std::filesystem::exists(path, error)) return path;
  std::filesystem::create_directories(folder, error);
  if (error) throw std::system_error(error, "cannot create " + folder.string());
  host::WriteFileAtomically(path, HelpPage());
  return path;
}

frmUtility::frmUtility(WindowContext context)
    : SSTab1("SSTab1", TabCaptions()), context_(std::move(context)) {
  all_controls_.push_back(&SSTab1);
  FormsTab::Register(all_controls_);
  ControlsTab::Register(all_controls_);
  CodeTab::Register(all_controls_);
  CommentsTab::Register(all_controls_);
  ErrorsTab::Register(all_controls_);
  AnalyserTab::Register(all_controls_);
  LogsTab::Register(all_controls_);
  StartTab::Register(all_controls_);
  AttachTabBehaviours();
}

frmUtility::~frmUtility() = default;

// Every tab's subsystem attaches its handlers here, once per window. Keep one call per line so
// each subsystem's addition stays a one-line change.
void frmUtility::AttachTabBehaviours() {
  cmdHelp.OnClick([this] { cmdHelp_Click(); });
  AttachLineCommands(*this);
  AttachTimeLogViewer(*this);
  AttachShortcutEditor(*this);
  AttachExternalTools(*this);
  AttachCommentCommands(*this);
  AttachDesignerTabs(*this);
  AttachErrorsTab(*this);
  AttachExportTabs(*this);
}

Control* frmUtility::FindControl(std::string_view name, int index) const {
  for (Control* control : all_controls_) {
    if (control->Name() == name && control->Index() == index) return control;
  }
  return nullptr;
}

bool frmUtility::IsControlArray(std::string_view name) const {
  for (Control* control : all_controls_) {
    if (control->Name() == name) return control->Index() >= 0;
  }
  return false;
}

void frmUtility::OnLoad(LoadStep step, std::function<void()> action) {
  load_steps_.emplace_back(step, std::move(action));
}

void frmUtility::RunLoadStep(LoadStep step) {
  for (auto& [when, action] : load_steps_) {
    if (when == step) action();
  }
}

void frmUtility::Move(double top, double left) {
  top_ = top;
  left_ = left;
}

void frmUtility::Load() {
  if (loaded_) return;
  loaded_ = true;
  RunLoadStep(LoadStep::kKeywordTables);
  picLogo.SetPicture(host::Picture{std::string(FaceBitmap(101))});
  component_lists_filled_ = false;
  RestoreTabAndPosition();
  FillShortcutList();
  try {
    Shared().database.Open();
  } catch (const host::HostError&) {
    // The window opens all the same; its database commands then do nothing.
    Platform().Message(host::kOpenFailedText, host::kOpenFailedTitle);
  }
  RunLoadStep(LoadStep::kCommentSettings);
}

void frmUtility::RestoreTabAndPosition() {
  std::string tab = Settings().GetRegString(kSettingsKey, "Tab");
  int page = kStartTab;
  if (!tab.empty()) {
    double value = host::RoundHalfEven(host::Val(tab));
    // A value the strip has no tab for opens the start tab rather than failing the load.
    if (value >= 0 && value < SSTab1.Tabs()) page = static_cast<int>(value);
  }
  SSTab1.SetTab(page);
  std::string top = Settings().GetRegString(kSettingsKey, "Top");
  if (!top.empty()) top_ = host::Val(top);
  std::string left = Settings().GetRegString(kSettingsKey, "Left");
  if (!left.empty()) left_ = host::Val(left);
}

void frmUtility::FillShortcutList() {
  for (const std::string& name : Shared().shortcuts.names) {
    if (!name.empty()) lstShortcuts.AddItem(name);
  }
}

void frmUtility::SetVbe(host::Vbe* vbe) { vbe_ = vbe; }

void frmUtility::Show() {
  visible_ = true;
  Activate();
}

void frmUtility::Activate() {
  if (!component_lists_filled_) FillComponentLists();
  txtPathHTML.SetText(AddinFolder());
  txtHTMLReport(1).SetText(AddinFolder());
}

void frmUtility::FillComponentLists() {
  host::Project* project = vbe_ != nullptr ? vbe_->ActiveProject() : nullptr;
  // Without a project the lists stay empty and are filled at a later activation.
  if (project == nullptr) return;
  for (host::Component& component : project->Components()) {
    host::ComponentType type = component.Type();
    if (!Listed(type)) continue;
    std::string name = component.Name();
    if (IsForm(type)) {
      int entry = lstForms.AddItem(name);
      lstForms.SetSelected(entry, true);
    }
    if (IsForm(type) || type == host::ComponentType::kUserControl) {
      AddWithType(cmbForms, name, type);
    }
    AddWithType(cmbComponents, name, type);
    AddWithType(cmbCmtModules, name, type);
  }
  component_lists_filled_ = true;
}

void frmUtility::Unload() {
  if (!loaded_) return;
  host::Step([&] { SaveTabAndPosition(); });
  host::Step([&] { Shared().database.ReleaseObjects(); });
  vbe_ = nullptr;
  visible_ = false;
  loaded_ = false;
}

void frmUtility::SaveTabAndPosition() {
  Settings().SaveRegString(kSettingsKey, "Tab", host::NumberText(SSTab1.Tab()));
  Settings().SaveRegString(kSettingsKey, "Top", host::NumberText(top_));
  Settings().SaveRegString(kSettingsKey, "Left", host::NumberText(left_));
}

void frmUtility::KeyDown(int key_code, int /*shift*/) {
  if (key_code == kKeyF1) cmdHelp_Click();
}

void frmUtility::cmdHelp_Click() {
  std::string path;
  try {
    path = InstallHelpPage(AddinFolder());
  } catch (const std::system_error&) {
    // Still ask the shell: it reports the missing page in its own way.
    path = AddinFolder() + "help" + kPathSeparator + "index.htm";
  }
  Platform().ShellOpen(path);
}

}  // namespace marquill::shell

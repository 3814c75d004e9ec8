#include "shell/window/export_tab_commands.h"

#include <map>
#include <memory>
#include <system_error>

#include "export/project_report.h"
#include "host/files/file_io.h"
#include "host/ignore_errors.h"
#include "shell/time_log.h"
#include "shell/window/err_tab_commands.h"
#include "shell/window/frm_utility.h"
#include "shell/window/member_pickers.h"

namespace marquill::shell {
namespace {

struct ExportTabState;
std::map<const frmUtility*, std::weak_ptr<ExportTabState>>& States();

struct ExportTabState {
  explicit ExportTabState(const frmUtility* window) : owner(window) {}
  ~ExportTabState() { States().erase(owner); }
  ExportTabState(const ExportTabState&) = delete;
  ExportTabState& operator=(const ExportTabState&) = delete;

  const frmUtility* owner;
  exporter::KeywordTables keywords;
  PageWriter writer = [](const std::string& path, std::string_view bytes) {
    host::WriteFileAtomically(path, bytes);
  };
};

// The state of each window's tabs, found by its window; entries go with their windows.
std::map<const frmUtility*, std::weak_ptr<ExportTabState>>& States() {
  static std::map<const frmUtility*, std::weak_ptr<ExportTabState>> states;
  return states;
}

ExportTabState& StateOf(frmUtility& window) {
  auto found = States().find(&window);
  if (found != States().end()) {
    if (std::shared_ptr<ExportTabState> state = found->second.lock()) return *state;
  }
  auto state = std::make_shared<ExportTabState>(&window);
  States()[&window] = state;
  window.KeepAlive(state);
  return *state;
}

void ShowError(frmUtility& window, const std::string& text) {
  window.Platform().Message(text, kErrorTitle);
}

// Writes a page; a failure shows why and leaves no file.
bool WritePage(frmUtility& window, const std::string& path, std::string_view bytes) {
  try {
    StateOf(window).writer(path, bytes);
    return true;
  } catch (const std::system_error& error) {
    ShowError(window, "Cannot write " + path + ": " + error.code().message());
    return false;
  }
}

exporter::ExportScope ScopeOf(frmUtility& window) {
  if (window.cmbWhereErr.ListIndex() < kApplyToMember) return {};
  const int entry = window.cmbMembers.ListIndex();
  // No chosen entry means no kind: the member exports no code.
  const int kind = entry >= 0 ? window.cmbMembers.ItemData(entry) : 0;
  return {window.cmbMembers.Text(), static_cast<host::MemberType>(kind)};
}

bool Ticked(frmUtility& window, int index) { return window.chkReport(index).Value() == 1; }

}  // namespace

void SetPageWriter(frmUtility& window, PageWriter writer) {
  StateOf(window).writer = std::move(writer);
}

const exporter::KeywordTables& KeywordTablesOf(frmUtility& window) {
  return StateOf(window).keywords;
}

std::string BrowseForFolder(frmUtility& window) {
  std::optional<std::string> folder = window.Platform().BrowseForFolder(kFolderPickerTitle);
  if (!folder || folder->empty()) return "";
  if (folder->back() != kPathSeparator) *folder += kPathSeparator;
  return *folder;
}

void cmdExportHTML_Click(frmUtility& window) {
  host::CodeModule* module = nullptr;
  std::string component_name = window.cmbComponents.Text();
  try {
    host::Component* component = SelectedComponent(window);
    if (component == nullptr) return;
    module = component->CodeModule();
  } catch (const host::HostError&) {
    ShowError(window, "The project has no component " + component_name + ".");
    return;
  }
  if (module == nullptr) return;
  const exporter::ExportScope scope = ScopeOf(window);
  std::string code;
  try {
    if (!scope.member.empty()) module->Members().Item(scope.member);
    code = exporter::CollectCode(*module, scope);
  } catch (const host::HostError&) {
    ShowError(window, component_name + " has no member " + scope.member + ".");
    return;
  }
  const bool colors = window.chkColors.Value() == 1;
  const std::string page = exporter::HtmlPage(code, colors, StateOf(window).keywords);
  WritePage(window, window.txtPathHTML.Text() + window.txtFileHTML.Text(), page);
}

// A cancelled picker leaves the folder as it was, rather than emptying the field into the root.
void cmdPath_Click(frmUtility& window) {
  const std::string folder = BrowseForFolder(window);
  if (!folder.empty()) window.txtPathHTML.SetText(folder);
}

void txtPathHTML_Change(frmUtility& window) {
  const std::string& text = window.txtPathHTML.Text();
  if (text.empty() || text.back() != kPathSeparator) {
    window.txtPathHTML.SetText(text + kPathSeparator);
  }
}

void cmdCreateRep_Click(frmUtility& window, int index) {
  if (index == kCreateReportButton) {
    const exporter::ReportOptions options{
        Ticked(window, kReportLogs), Ticked(window, kReportReferences),
        Ticked(window, kReportControls), Ticked(window, kReportLines),
        Ticked(window, kReportFiles)};
    host::Project* project = nullptr;
    host::Step(
        [&] { project = window.Vbe() != nullptr ? window.Vbe()->ActiveProject() : nullptr; });
    exporter::LogReader reader;
    if (TimeLog* log = window.Log()) {
      reader = [log](const std::string& path) { return log->Read(path); };
    }
    window.txtReport.SetText(
        exporter::BuildReport(project, options, reader, host::UserDateOrder()));
    return;
  }
  if (index != kOpenReportButton) return;
  const std::string name = window.txtHTMLReport(0).Text();
  if (name.empty()) {
    ShowError(window, std::string(kReportNameEmptyText));
    return;
  }
  const std::string path = window.txtHTMLReport(1).Text() + name;
  if (WritePage(window, path, exporter::ReportPage(window.txtReport.Text()))) {
    window.Platform().ShellOpen(path);
  }
}

void cmdSelHTMLRep_Click(frmUtility& window) {
  const std::string folder = BrowseForFolder(window);
  if (!folder.empty()) window.txtHTMLReport(1).SetText(folder);
}

void AttachExportTabs(frmUtility& window) {
  window.OnLoad(LoadStep::kKeywordTables,
                [&window] { StateOf(window).keywords = exporter::BuildKeywordTables(); });
  window.cmdExportHTML.OnClick([&window] { cmdExportHTML_Click(window); });
  window.cmdPath.OnClick([&window] { cmdPath_Click(window); });
  window.txtPathHTML.OnChange([&window] { txtPathHTML_Change(window); });
  window.cmdCreateRep.OnClick([&window](int index) { cmdCreateRep_Click(window, index); });
  window.cmdSelHTMLRep.OnClick([&window] { cmdSelHTMLRep_Click(window); });
}

}  // namespace marquill::shell

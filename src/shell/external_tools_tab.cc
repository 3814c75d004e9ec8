#include "shell/external_tools_tab.h"

#include <optional>
#include <system_error>

#include "external/external_tools.h"
#include "host/text/line_text.h"
#include "host/timelog/time_log_text.h"
#include "shell/time_log.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {

namespace {

void Fail(frmUtility& window, const std::string& text) {
  window.Platform().Message(text, kErrorTitle);
}

void EnableRegistration(frmUtility& window, bool enabled) {
  window.cmdRegSrv(0).SetEnabled(enabled);
  window.cmdRegSrv(1).SetEnabled(enabled);
}

// The editor back in its first state: empty, "Save" and "Close" disabled.
void EmptyAddinEditor(frmUtility& window) {
  window.txtVBAddin.SetText("");
  window.cmdVBAddin(1).SetEnabled(false);
  window.cmdVBAddin(2).SetEnabled(false);
}

// The add-in list's path; "" after saying that the machine has no Windows folder.
std::string AddinListFile(frmUtility& window) {
  const std::string windir = window.Platform().Environment("WINDIR");
  if (windir.empty()) {
    Fail(window,
         "There is no Windows folder holding vbaddin.ini: WINDIR is not set and there is no Wine "
         "prefix (WINEPREFIX or ~/.wine).");
    return "";
  }
  return external::AddinListPath(windir);
}

void LoadAddinList(frmUtility& window) {
  const std::string path = AddinListFile(window);
  if (path.empty() || window.Log() == nullptr) return;
  std::optional<std::string> bytes;
  try {
    bytes = window.Log()->Read(path);
  } catch (const std::system_error& error) {
    return Fail(window, "Cannot read " + path + ": " + error.code().message() + ".");
  }
  if (!bytes) return Fail(window, "Cannot read " + path + ": it does not exist.");
  if (!host::LooksLikeText(*bytes)) return Fail(window, path + " is not a text file.");
  window.txtVBAddin.SetText(host::LinesEndedByCrLf(*bytes));
  window.cmdVBAddin(1).SetEnabled(true);
  window.cmdVBAddin(2).SetEnabled(true);
}

void SaveAddinList(frmUtility& window) {
  const std::string path = AddinListFile(window);
  if (path.empty() || window.Log() == nullptr) return;
  try {
    window.Log()->Replace(path, window.txtVBAddin.Text() + "\r\n");
  } catch (const std::system_error& error) {
    // The text stays in the editor, so nothing the user typed is lost.
    return Fail(window, "Cannot write " + path + ": " + error.code().message() + ".");
  }
  EmptyAddinEditor(window);
}

}  // namespace

void cmdRegSrvSel_Click(frmUtility& window) {
  window.cd1.title = std::string(external::kServerDialogTitle);
  window.cd1.filter = std::string(external::kServerDialogFilter);
  window.cd1.ShowOpen(window.Platform());
  window.txtRegSrv.SetText(window.cd1.file_name);
  EnableRegistration(window, true);
}

void txtRegSrv_Change(frmUtility& window) {
  if (window.txtRegSrv.Text().empty()) EnableRegistration(window, false);
}

void cmdRegSrv_Click(frmUtility& window, int index) {
  const std::string& file = window.txtRegSrv.Text();
  const std::string problem = external::ServerFileProblem(file);
  if (!problem.empty()) return Fail(window, problem);
  const std::string system_folder = window.Platform().SystemFolder();
  if (system_folder.empty()) {
    return Fail(window,
                "regsvr32 is not available: there is no Windows system folder (install Wine, or "
                "set WINEPREFIX to a Wine prefix).");
  }
  const std::string command_line =
      external::RegistrationCommandLine(system_folder, file, /*unregister=*/index == 1);
  if (!window.Platform().StartProgram(command_line)) {
    Fail(window, "regsvr32 could not be started: " + command_line);
  }
}

void cmdVBAddin_Click(frmUtility& window, int index) {
  switch (index) {
    case 0:
      return LoadAddinList(window);
    case 1:
      return SaveAddinList(window);
    case 2:
      return EmptyAddinEditor(window);
    default:
      return;
  }
}

void txtVBAddin_Change(frmUtility& window) { window.cmdVBAddin(1).SetEnabled(true); }

void AttachExternalTools(frmUtility& window) {
  window.cmdRegSrvSel.OnClick([&window] { cmdRegSrvSel_Click(window); });
  window.txtRegSrv.OnChange([&window] { txtRegSrv_Change(window); });
  window.cmdRegSrv.OnClick([&window](int index) { cmdRegSrv_Click(window, index); });
  window.cmdVBAddin.OnClick([&window](int index) { cmdVBAddin_Click(window, index); });
  window.txtVBAddin.OnChange([&window] { txtVBAddin_Change(window); });
}

}  // namespace marquill::shell

// The external tools: `regsvr register|unregister FILE` registers an ActiveX server with regsvr32
// (through Wine), `addin-list [--edit FILE]` shows or replaces the IDE's add-in list. Both press
// the buttons of the main window's "&Logs && External" tab; neither needs a project.
#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/paths/paths.h"
#include "external/external_tools.h"
#include "host/files/file_io.h"
#include "host/text/line_text.h"
#include "host/timelog/time_log_text.h"
#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

struct ExternalOptions {
  std::string action;
  std::string file;
  bool dry_run = false;    // regsvr
  AddinFileOptions files;  // addin-list
};

void FailOnError(const shell::ScriptedPlatform& platform) {
  const std::string prefix = std::string(shell::kErrorTitle) + ": ";
  for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
    if (call.detail.starts_with(prefix)) {
      throw CliError(kExitFailed, call.detail.substr(prefix.size()));
    }
  }
}

shell::SessionOptions ProjectlessSession(bool dry_run, shell::PlatformServices& platform,
                                         CliContext& context) {
  shell::SessionOptions options;
  options.dry_run = dry_run;
  options.diff_out = &context.out;
  options.platform = &platform;
  return options;
}

// A dry run asks the machine where regsvr32 is but starts nothing.
int RunRegsvr(const ExternalOptions& options, CliContext& context) {
  const std::string file = std::filesystem::absolute(options.file).string();
  const std::string problem = external::ServerFileProblem(file);
  if (!problem.empty()) throw CliError(kExitUsage, problem);
  shell::ConsolePlatform console(false, context.in, context.err, /*interactive=*/false);
  shell::ScriptedPlatform platform;
  platform.SetSystemFolder(console.SystemFolder());
  shell::Session session(ProjectlessSession(options.dry_run, platform, context));
  shell::frmUtility& window = session.Window();
  window.SSTab1.SetTab(shell::LogsTab::kPage);
  platform.Queue({shell::Answer::Kind::kText, file, "regsvr"});
  window.cmdRegSrvSel.Click();
  window.cmdRegSrv(options.action == "unregister" ? 1 : 0).Click();
  FailOnError(platform);
  session.Finish();
  for (const shell::PlatformCall& call : platform.CallsOf("StartProgram")) {
    if (!options.dry_run && !console.StartProgram(call.detail)) {
      throw CliError(kExitFailed,
                     "regsvr32 could not be started (is wine installed?): " + call.detail);
    }
    context.out << (options.dry_run ? "would run: " : "started: ") << call.detail << "\n";
  }
  return kExitDone;
}

std::string TerminalText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

// The editor's text for a file: its lines with CR LF between them; "Save" ends the last one.
std::string EditorTextOf(const std::string& path) {
  std::optional<std::string> bytes = host::ReadWholeFile(path);
  if (!bytes) throw CliError(kExitUsage, path, 0, "cannot read");
  if (!host::LooksLikeText(*bytes)) throw CliError(kExitUsage, path, 0, "not a text file");
  std::string text = host::LinesEndedByCrLf(*bytes);
  if (text.ends_with("\r\n")) text.resize(text.size() - 2);
  return text;
}

int RunAddinList(const ExternalOptions& options, CliContext& context) {
  const auto started = std::chrono::steady_clock::now();
  const std::string replacement = options.file.empty() ? "" : EditorTextOf(options.file);
  shell::ConsolePlatform console(false, context.in, context.err, /*interactive=*/false);
  shell::ScriptedPlatform platform;
  platform.SetEnvironment("WINDIR", console.Environment("WINDIR"));
  std::ostringstream no_diff;
  CliContext check_context{no_diff, context.err, context.in};
  shell::SessionOptions session_options = ProjectlessSession(
      options.files.WritesNothing(), platform, options.files.check ? check_context : context);
  session_options.writes_nothing = options.file.empty();
  shell::Session session(session_options);
  shell::frmUtility& window = session.Window();
  window.SSTab1.SetTab(shell::LogsTab::kPage);
  window.cmdVBAddin(0).Click();
  FailOnError(platform);
  if (options.file.empty()) {
    context.out << TerminalText(window.txtVBAddin.Text());
  } else {
    window.txtVBAddin.SetText(replacement);
    window.cmdVBAddin(1).Click();
    FailOnError(platform);
  }
  const std::vector<std::filesystem::path> written = session.Finish();
  if (options.file.empty()) return kExitDone;
  // Finish() names only what a preview would write; a real save is read from the session.
  std::vector<std::filesystem::path> changed = written;
  std::vector<std::filesystem::path> examined;
  for (const auto& [path, change] : session.TextFileChanges()) {
    examined.push_back(path);
    if (!options.files.WritesNothing() && change.before != change.after) changed.push_back(path);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  return ReportAddinFiles("addin-list", options.files, examined, changed, elapsed.count(),
                          context.out, context.err);
}

const CommandRegistrar kRegsvr{
    {"regsvr", "Register or unregister an ActiveX server with regsvr32 (through Wine)",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<ExternalOptions>();
       app.add_option("ACTION", options->action, "register or unregister")
           ->required()
           ->check(CLI::IsMember({"register", "unregister"}));
       app.add_option("FILE", options->file, "The server: .ocx, .dll or .exe")->required();
       app.add_flag("--dry-run", options->dry_run, "Show the command line; start nothing");
       return [options](CliContext& context) { return RunRegsvr(*options, context); };
     }}};

const CommandRegistrar kAddinList{
    {"addin-list", "Show the IDE's add-in list vbaddin.ini, or replace it with --edit FILE",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<ExternalOptions>();
       app.add_option("--edit", options->file, "Write this file's lines as the add-in list");
       AddAddinFileOptions(app, options->files,
                           "Print a unified diff of the list's change; write nothing");
       return [options](CliContext& context) { return RunAddinList(*options, context); };
     }}};

}  // namespace
}  // namespace marquill::cli

// The export commands: `export-html` writes a component or member as an HTML page, `report`
// shows the project report or writes it as a page. Both press the window's buttons; the pages the
// window would write are taken from it and written here, so --dry-run and --check write nothing
// anywhere and a page that cannot be written fails the command with no file left behind.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/member_target.h"
#include "host/files/file_io.h"
#include "host/paths/paths.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/window/err_tab_commands.h"
#include "shell/window/export_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

// A page as the window would write it.
struct Page {
  std::string path;
  std::string bytes;
};

void CapturePages(shell::frmUtility& window, std::optional<Page>& page) {
  shell::SetPageWriter(window, [&page](const std::string& path, std::string_view bytes) {
    page = Page{path, std::string(bytes)};
  });
}

// The folder (ending in the separator) and the name of an output file; a folder, or a file in a
// folder that does not exist, is bad input.
std::pair<std::string, std::string> SplitOutput(const std::string& output) {
  const fs::path path = fs::absolute(output);
  std::error_code error;
  if (output.empty() || fs::is_directory(path, error) || !path.has_filename()) {
    throw CliError(kExitUsage, output, 0, "is a folder; give the name of the page to write");
  }
  if (!fs::is_directory(path.parent_path(), error)) {
    throw CliError(kExitUsage, output, 0, "no such folder: " + path.parent_path().string());
  }
  return {path.parent_path().string() + shell::kPathSeparator, path.filename().string()};
}

enum class Preview { kNone, kDryRun, kCheck };

struct OutputOptions {
  bool dry_run = false;
  bool check = false;
  Preview Mode() const {
    return check ? Preview::kCheck : dry_run ? Preview::kDryRun : Preview::kNone;
  }
};

void AddPreviewFlags(CLI::App& app, OutputOptions& options) {
  CLI::Option* dry = app.add_flag("--dry-run", options.dry_run,
                                  "Print the page's changes as a unified diff; write nothing");
  app.add_flag("--check", options.check,
               "List the page when it would change (exit 1); write nothing")
      ->excludes(dry);
}

// Writes the page (or previews it). True when the file now holds it.
int WritePage(const Page& page, Preview mode, CliContext& context) {
  const std::optional<std::string> before = host::ReadWholeFile(page.path);
  if (mode == Preview::kDryRun) {
    shell::WriteFileDiff(context.out, page.path, before, page.bytes);
    return kExitDone;
  }
  if (mode == Preview::kCheck) {
    if (before == page.bytes) return kExitDone;
    context.out << host::DisplayPath(page.path) << "\n";
    return kExitFailed;
  }
  try {
    host::WriteFileAtomically(page.path, page.bytes);
  } catch (const std::system_error& error) {
    throw CliError(kExitFailed, page.path, 0, "cannot write: " + error.code().message());
  }
  return kExitDone;
}

// ---- export-html

// Runs `steps` on the project in a session that writes nothing of its own.
template <class Steps>
void InSession(const std::string& project, CliContext& context, Steps steps) {
  shell::ScriptedPlatform platform;
  shell::SessionOptions session_options;
  session_options.project = fs::absolute(project);
  session_options.writes_nothing = true;  // neither command changes the project
  session_options.platform = &platform;
  try {
    shell::Session session(session_options);
    PrintLoadNotices(context.err, session.Project());
    steps(session);
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  }
}

struct ExportOptions {
  std::string project;
  MemberTarget target;
  bool colors = false;
  std::string output;
  OutputOptions preview;
};

int RunExport(const ExportOptions& options, CliContext& context) {
  std::optional<Page> page;
  std::pair<std::string, std::string> place{"/", "page.htm"};  // only the bytes are kept
  if (!options.output.empty()) place = SplitOutput(options.output);
  InSession(options.project, context, [&](shell::Session& session) {
    PickMemberTarget(session, options.target);
    shell::frmUtility& window = session.Window();
    CapturePages(window, page);
    window.cmbWhereErr.Choose(options.target.member.empty() ? shell::kApplyToComponent
                                                            : shell::kApplyToMember);
    window.chkColors.SetValue(options.colors ? 1 : 0);
    window.txtPathHTML.SetText(place.first);
    window.txtFileHTML.SetText(place.second);
    window.cmdExportHTML.Click();
  });
  if (!page) {
    throw CliError(kExitFailed, options.project, 0,
                   "'" + options.target.component + "' has no code to export");
  }
  if (options.output.empty()) {
    context.out << page->bytes;
    return kExitDone;
  }
  return WritePage(*page, options.preview.Mode(), context);
}

const CommandRegistrar kExportHtml{
    {"export-html", "Write a component's or a member's code as an HTML page",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<ExportOptions>();
       AddProjectArgument(app, options->project);
       AddMemberTargetOptions(app, options->target, ComponentOption::kRequired);
       app.add_flag("--colors", options->colors, "Colour keywords and comments");
       NotEmpty(app.add_option("--output,-o", options->output,
                               "The page to write (replaced when it exists); without it, the "
                               "page goes to standard output"));
       AddPreviewFlags(app, options->preview);
       return [options](CliContext& context) { return RunExport(*options, context); };
     }}};

// ---- report

struct ReportCliOptions {
  std::string project;
  bool logs = false, references = false, controls = false, lines = false, files = false;
  std::string html;
  bool open = false;
  OutputOptions preview;
};

std::string TerminalText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') out += text[i];
  }
  if (out.empty() || out.back() != '\n') out += '\n';
  return out;
}

int RunReport(const ReportCliOptions& options, CliContext& context) {
  std::pair<std::string, std::string> place;
  if (!options.html.empty()) place = SplitOutput(options.html);
  std::string report;
  std::optional<Page> page;
  InSession(options.project, context, [&](shell::Session& session) {
    shell::frmUtility& window = session.Window();
    CapturePages(window, page);
    const std::pair<int, bool> boxes[] = {{shell::kReportLogs, options.logs},
                                          {shell::kReportReferences, options.references},
                                          {shell::kReportControls, options.controls},
                                          {shell::kReportLines, options.lines},
                                          {shell::kReportFiles, options.files}};
    for (const auto& [index, ticked] : boxes) window.chkReport(index).SetValue(ticked ? 1 : 0);
    window.cmdCreateRep(shell::kCreateReportButton).Click();
    report = window.txtReport.Text();
    if (!options.html.empty()) {
      window.txtHTMLReport(1).SetText(place.first);
      window.txtHTMLReport(0).SetText(place.second);
      window.cmdCreateRep(shell::kOpenReportButton).Click();
    }
  });
  if (options.html.empty()) {
    context.out << TerminalText(report);
    return kExitDone;
  }
  if (!page) throw CliError(kExitFailed, options.html, 0, "the page was not made");
  const int written = WritePage(*page, options.preview.Mode(), context);
  if (written != kExitDone || !options.open || options.preview.Mode() != Preview::kNone) {
    return written;
  }
  shell::ConsolePlatform console(/*yes=*/false, context.in, context.err);
  if (!console.ShellOpen(page->path)) {
    throw CliError(kExitFailed, page->path, 0, "written, but no desktop to open it in");
  }
  return kExitDone;
}

const CommandRegistrar kReport{
    {"report",
     "Show the project report (components, line counts, references, controls, working time), "
     "or write it as an HTML page",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<ReportCliOptions>();
       AddProjectArgument(app, options->project);
       app.add_flag("--logs", options->logs, "Add the time log and its total");
       app.add_flag("--references", options->references, "Add the project's references");
       app.add_flag("--controls", options->controls, "Add the controls of every designer");
       app.add_flag("--lines", options->lines, "Add line counts per component and in total");
       app.add_flag("--files", options->files, "Add the project's and components' file names");
       CLI::Option* html = NotEmpty(app.add_option(
           "--html", options->html, "Write the report as an HTML page (replaced when it exists)"));
       app.add_flag("--open", options->open, "Open the page in the desktop's browser")->needs(html);
       AddPreviewFlags(app, options->preview);
       return [options](CliContext& context) { return RunReport(*options, context); };
     }}};

}  // namespace
}  // namespace marquill::cli

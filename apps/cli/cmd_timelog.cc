// The time log commands: `clock` starts or stops each project's clock, `log` shows each
// project's time log and its total. Both drive the add-in as a user would: the toolbar's "Time
// counting" button, and the log viewer's "Load". `clock` changes files, so it runs through the
// project command framework (targets, --check, --dry-run, settings, summary); `log` only reads.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/project_command.h"
#include "cli/targets.h"
#include "host/paths/paths.h"
#include "host/timelog/time_log_text.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/time_log.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

// Messages the add-in showed in boxes titled "Error", without the title.
std::vector<std::string> Errors(const shell::ScriptedPlatform& platform) {
  std::vector<std::string> errors;
  const std::string prefix = std::string(shell::kErrorTitle) + ": ";
  for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
    if (call.detail.starts_with(prefix)) errors.push_back(call.detail.substr(prefix.size()));
  }
  return errors;
}

std::string LogPathOf(const std::filesystem::path& project) {
  return host::TimeLogPath(std::filesystem::absolute(project).string());
}

// A time log belongs to a project file; a component file worked on alone has none.
void RequireProject(const std::filesystem::path& target, const std::string& command) {
  if (!IsComponentFile(target)) return;
  throw CliError(kExitUsage, target.string(), 0,
                 command +
                     " works on projects (.vbp, or the groups and folders that hold them): "
                     "a component file has no time log");
}

// Each run is a new connection, whose clock starts stopped: the log tells whether the clock was
// left running, and the disconnection must not stop it again.
void ToggleClock(ProjectRun& run) {
  RequireProject(run.target, "clock");
  const std::string log_path = LogPathOf(run.target);
  std::optional<std::string> log;
  try {
    log = shell::FileTimeLog().Read(log_path);
  } catch (const std::system_error& error) {
    throw CliError(kExitFailed, log_path, 0, "cannot read: " + error.code().message());
  }
  if (log && !host::LooksLikeText(*log)) {
    throw CliError(kExitFailed, log_path, 0, "not a text file; nothing was written");
  }
  shell::Session& session = run.session;
  session.Addin().SetClockRunning(log && host::ClockLeftRunning(*log));
  session.Bars().Click(*session.Bars().FindControl(shell::kToolbarName, "Time counting"));
  session.Addin().SetClockRunning(false);
  std::vector<std::string> errors = Errors(run.platform);
  if (!errors.empty()) throw CliError(kExitFailed, errors.front());
  // A preview shows the log's change as the framework shows every file's.
  if (run.WritesNothing()) return;
  for (const shell::PlatformCall& call : run.platform.CallsOf("MsgBox")) {
    if (run.one_of_several) run.context.out << host::DisplayPath(run.target) << ": ";
    run.context.out << call.detail.substr(shell::kAppTitle.size() + 2) << "\n";
  }
}

std::string TerminalText(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

// Lines without a time are shown and left out of the total; each is named, and the run fails.
int ReportUnreadLines(const std::string& log_path, CliContext& context) {
  std::optional<std::string> log = shell::FileTimeLog().Read(log_path);
  const host::TimeLogTotal total = host::SumTimeLog(log.value_or(""), host::UserDateOrder());
  for (int line : total.unread_lines) {
    context.err << FormatError(
                       CliError(kExitFailed, log_path, line, "no start or stop time; not counted"))
                << "\n";
  }
  return total.unread_lines.empty() ? kExitDone : kExitFailed;
}

struct LogOptions {
  std::vector<std::string> targets;
  std::vector<std::string> excludes;
  bool total_only = false;
};

// Shows one project's log through the log viewer's "Load"; showing it writes nothing, not even
// the window's place.
int ShowLog(const std::filesystem::path& project, const LogOptions& options, CliContext& context) {
  RequireProject(project, "log");
  shell::ScriptedPlatform platform;
  shell::SessionOptions session_options;
  session_options.project = std::filesystem::absolute(project);
  session_options.writes_nothing = true;
  session_options.platform = &platform;
  session_options.load = ProjectLoadOptions(context.err);
  const std::string log_path = LogPathOf(project);
  std::string text;
  std::string total;
  std::vector<std::string> errors;
  try {
    shell::Session session(session_options);
    shell::frmUtility& window = session.Window();
    window.cmdLogs(0).Click();
    if (!options.total_only) text = window.txtLogs.Text();
    total = window.txtTotalLogs.Text();
    errors = Errors(platform);
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  }
  if (total.empty() && errors.empty()) {
    throw CliError(kExitFailed, log_path, 0, "no time log: the clock was never started");
  }
  if (total.empty()) throw CliError(kExitFailed, errors.front());
  if (!options.total_only) context.out << TerminalText(std::move(text)) << "Total: ";
  context.out << total << "\n";
  return errors.empty() ? kExitDone : ReportUnreadLines(log_path, context);
}

// Several projects are shown one after the other, each under a "==> LOG <==" line as head(1)
// names its files; a project that fails is reported and the others are still shown.
int RunLog(const LogOptions& options, CliContext& context) {
  std::vector<ProjectTarget> projects;
  for (const std::string& target : options.targets) {
    for (ProjectTarget& project : ExpandTarget(target, options.excludes))
      projects.push_back(std::move(project));
  }
  int exit_code = kExitDone;
  for (std::size_t i = 0; i < projects.size(); ++i) {
    if (projects.size() > 1) {
      context.out << (i == 0 ? "" : "\n") << "==> "
                  << host::DisplayPath(LogPathOf(projects[i].path)) << " <==\n";
    }
    try {
      exit_code = std::max(exit_code, ShowLog(projects[i].path, options, context));
    } catch (const CliError& error) {
      if (projects.size() == 1) throw;
      context.err << FormatError(error) << "\n";
      exit_code = std::max(exit_code, error.exit_code());
    }
  }
  return exit_code;
}

const ProjectCommandRegistrar kClock{{
    .name = "clock",
    .description = "Start each project's clock, or stop it when the log shows it running",
    .setup = [](CLI::App&) -> ProjectAction { return ToggleClock; },
    .examines_project_files = false,
    .reports_messages = true,
}};

const CommandRegistrar kLog{
    {"log", "Show each project's time log and the total time it records",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<LogOptions>();
       app.add_option("TARGET", options->targets,
                      "Projects (.vbp), groups (.vbg) or folders (every .vbp below)")
           ->required();
       app.add_option("--exclude", options->excludes,
                      "Skip files and folders matching GLOB below a folder target")
           ->type_name("GLOB");
       AddCodePageOption(app);
       app.add_flag("--total", options->total_only, "Show only the total");
       return [options](CliContext& context) { return RunLog(*options, context); };
     }}};

}  // namespace
}  // namespace marquill::cli

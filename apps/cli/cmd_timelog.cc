// The time log commands: `clock` starts or stops the project's clock, `log` shows the project's
// time log and its total. Both drive the add-in as a user would: the toolbar's "Time counting"
// button, and the log viewer's "Load".
#include <CLI/CLI.hpp>
#include <memory>
#include <sstream>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/paths/paths.h"
#include "host/timelog/time_log_text.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/time_log.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

struct TimeLogOptions {
  std::string project;
  bool dry_run = false;
  bool check = false;
  bool total_only = false;
};

// Messages the add-in showed in boxes titled "Error", without the title.
std::vector<std::string> Errors(const shell::ScriptedPlatform& platform) {
  std::vector<std::string> errors;
  const std::string prefix = std::string(shell::kErrorTitle) + ": ";
  for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
    if (call.detail.starts_with(prefix)) errors.push_back(call.detail.substr(prefix.size()));
  }
  return errors;
}

std::string LogPathOf(const std::string& project) {
  return host::TimeLogPath(std::filesystem::absolute(project).string());
}

shell::SessionOptions SessionFor(const TimeLogOptions& options, shell::PlatformServices& platform,
                                 CliContext& context, bool read_only) {
  shell::SessionOptions session;
  session.project = std::filesystem::absolute(options.project);
  session.dry_run = options.dry_run || options.check;
  // Showing the log changes nothing: not even the window's place is saved.
  session.writes_nothing = read_only;
  session.diff_out = &context.out;
  session.platform = &platform;
  return session;
}

template <class Steps>
void InSession(const shell::SessionOptions& options, Steps steps) {
  try {
    shell::Session session(options);
    steps(session);
    session.Finish();
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  } catch (const host::vbfiles::SaveError& error) {
    throw CliError(kExitFailed, error.what());
  }
}

// Each run is a new connection, whose clock starts stopped: the log tells whether the clock was
// left running, and the disconnection must not stop it again.
int RunClock(const TimeLogOptions& options, CliContext& context) {
  std::ostringstream no_diff;
  CliContext check_context{no_diff, context.err, context.in};
  CliContext& session_context = options.check ? check_context : context;
  shell::ScriptedPlatform platform;
  const std::string log_path = LogPathOf(options.project);
  InSession(SessionFor(options, platform, session_context, false), [&](shell::Session& session) {
    std::optional<std::string> log;
    try {
      log = shell::FileTimeLog().Read(log_path);
    } catch (const std::system_error& error) {
      throw CliError(kExitFailed, log_path, 0, "cannot read: " + error.code().message());
    }
    if (log && !host::LooksLikeText(*log)) {
      throw CliError(kExitFailed, log_path, 0, "not a text file; nothing was written");
    }
    session.Addin().SetClockRunning(log && host::ClockLeftRunning(*log));
    session.Bars().Click(*session.Bars().FindControl(shell::kToolbarName, "Time counting"));
    session.Addin().SetClockRunning(false);
    std::vector<std::string> errors = Errors(platform);
    if (!errors.empty()) throw CliError(kExitFailed, errors.front());
  });
  if (options.check) {
    context.out << host::DisplayPath(log_path) << "\n";  // a toggle always adds a line
    return kExitFailed;
  }
  if (!options.dry_run) {
    for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
      context.out << call.detail.substr(shell::kAppTitle.size() + 2) << "\n";
    }
  }
  return kExitDone;
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

int RunLog(const TimeLogOptions& options, CliContext& context) {
  shell::ScriptedPlatform platform;
  const std::string log_path = LogPathOf(options.project);
  std::string text;
  std::string total;
  std::vector<std::string> errors;
  InSession(SessionFor(options, platform, context, true), [&](shell::Session& session) {
    shell::frmUtility& window = session.Window();
    window.cmdLogs(0).Click();
    if (!options.total_only) text = window.txtLogs.Text();
    total = window.txtTotalLogs.Text();
    errors = Errors(platform);
  });
  if (total.empty() && errors.empty()) {
    throw CliError(kExitFailed, log_path, 0, "no time log: the clock was never started");
  }
  if (total.empty()) throw CliError(kExitFailed, errors.front());
  if (!options.total_only) context.out << TerminalText(std::move(text)) << "Total: ";
  context.out << total << "\n";
  return errors.empty() ? kExitDone : ReportUnreadLines(log_path, context);
}

const CommandRegistrar kClock{
    {"clock", "Start the project's clock, or stop it when the log shows it running",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<TimeLogOptions>();
       AddProjectArgument(app, options->project);
       AddCheckFlag(app, options->check, AddDryRunFlag(app, options->dry_run));
       return [options](CliContext& context) { return RunClock(*options, context); };
     }}};

const CommandRegistrar kLog{{"log", "Show the project's time log and the total time it records",
                             [](CLI::App& app) -> RunFn {
                               auto options = std::make_shared<TimeLogOptions>();
                               AddProjectArgument(app, options->project);
                               app.add_flag("--total", options->total_only, "Show only the total");
                               return [options](CliContext& context) {
                                 return RunLog(*options, context);
                               };
                             }}};

}  // namespace
}  // namespace marquill::cli

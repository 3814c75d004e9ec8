// marquill run SCRIPT PROJECT.vbp: a script of main-window steps run against a project.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/files/file_io.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/script/script_parser.h"
#include "shell/script/script_runner.h"
#include "shell/session.h"

namespace marquill::cli {
namespace {

struct RunOptions {
  std::string script;
  std::string project;
  bool dry_run = false;
  bool yes = false;
};

CliError FromScript(const shell::ScriptError& error) {
  return CliError(error.command_failed() ? kExitFailed : kExitUsage, error.file(), error.line(),
                  error.message());
}

int Run(const RunOptions& options, CliContext& context) {
  std::string text;
  try {
    text = host::ReadFile(options.script);
  } catch (const host::ReadError& error) {
    throw CliError(kExitUsage, options.script, 0, "cannot read the script: " + error.reason());
  }
  std::vector<shell::ScriptStep> steps;
  try {
    steps = shell::ParseScript(text, options.script);
  } catch (const shell::ScriptError& error) {
    throw FromScript(error);
  }
  // Answers come from the script's `answer` steps first; a question none of them answers goes to
  // the console, which takes --yes or asks at a terminal, and otherwise says No.
  shell::ConsolePlatform console(options.yes, context.in, context.err);
  shell::ScriptedPlatform platform(&console);
  shell::SessionOptions session_options;
  session_options.project = options.project;
  session_options.dry_run = options.dry_run;
  session_options.diff_out = &context.out;
  session_options.platform = &platform;
  session_options.load = ProjectLoadOptions(context.err);
  try {
    shell::Session session(session_options);
    PrintLoadNotices(context.err, session.Project());
    shell::RunScript(steps, {session.Addin(), session.Bars(), session.Vbe(), platform},
                     options.script);
    session.Finish();
  } catch (const shell::ScriptError& error) {
    throw FromScript(error);
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  } catch (const host::vbfiles::SaveError& error) {
    throw CliError(kExitFailed, error.what());
  }
  return kExitDone;
}

const CommandRegistrar kRun{
    {"run", "Run a script of main-window steps on a project (see README: Scripts)",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<RunOptions>();
       app.add_option("SCRIPT", options->script, "The script of steps")
           ->required()
           ->check(CLI::ExistingFile);
       AddProjectArgument(app, options->project);
       AddDryRunFlag(app, options->dry_run);
       app.add_flag("--yes", options->yes,
                    "Answer Yes to every question that no 'answer' step answers");
       return [options](CliContext& context) { return Run(*options, context); };
     }}};

}  // namespace
}  // namespace marquill::cli

// marquill run SCRIPT TARGET...: a script of main-window steps run against each project.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/project_command.h"
#include "host/files/file_io.h"
#include "shell/platform/scripted_platform.h"
#include "shell/script/script_parser.h"
#include "shell/script/script_runner.h"
#include "shell/session.h"

namespace marquill::cli {
namespace {

CliError FromScript(const shell::ScriptError& error) {
  return CliError(error.command_failed() ? kExitFailed : kExitUsage, error.file(), error.line(),
                  error.message());
}

struct RunOptions {
  std::string script;
  // Read and parsed at the first project; every project runs the same steps.
  std::optional<std::vector<shell::ScriptStep>> steps;
};

const std::vector<shell::ScriptStep>& Steps(RunOptions& options) {
  if (options.steps) return *options.steps;
  std::string text;
  try {
    text = host::ReadFile(options.script);
  } catch (const host::ReadError& error) {
    throw CliError(kExitUsage, options.script, 0, "cannot read the script: " + error.reason());
  }
  try {
    options.steps = shell::ParseScript(text, options.script);
  } catch (const shell::ScriptError& error) {
    throw FromScript(error);
  }
  return *options.steps;
}

void Run(RunOptions& options, ProjectRun& run) {
  const std::vector<shell::ScriptStep>& steps = Steps(options);
  // Answers come from the script's `answer` steps first; a question none of them answers goes
  // to the console, which takes --yes or asks at a terminal, and otherwise says No.
  try {
    shell::RunScript(steps,
                     {run.session.Addin(), run.session.Bars(), run.session.Vbe(), run.platform},
                     options.script);
  } catch (const shell::ScriptError& error) {
    throw FromScript(error);
  }
}

ProjectCommand RunCommand() {
  ProjectCommand command{"run",
                         "Run a script of main-window steps on projects (see README: Scripts)",
                         [](CLI::App& app) -> ProjectAction {
                           auto options = std::make_shared<RunOptions>();
                           app.add_option("SCRIPT", options->script, "The script of steps")
                               ->required()
                               ->check(CLI::ExistingFile);
                           return [options](ProjectRun& run) { Run(*options, run); };
                         }};
  command.asks = true;
  // A preview runs the script's own answers as written; what they leave open is refused.
  command.yes_when_writing_nothing = false;
  return command;
}

const ProjectCommandRegistrar kRun{RunCommand()};

}  // namespace
}  // namespace marquill::cli

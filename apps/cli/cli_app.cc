#include "cli/cli_app.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <utility>
#include <vector>

#include "host/code_model.h"
#include "host/text/vb_text.h"

namespace marquill::cli {
namespace {

constexpr const char* kHelpHint = "Run 'marquill --help' for usage.";

void ConfigureApp(CLI::App& app) {
  app.set_version_flag("--version", MARQUILL_VERSION);
  app.require_subcommand(1);
  app.footer(
      "Each command opens PROJECT.vbp, runs the matching command of the add-in's main window "
      "and saves what changed.\nExit codes: 0 done, 1 the command failed, 2 bad usage or input.");
}

// CLI11 signals help and version requests as parse errors with exit code 0.
int ParseFailure(CLI::App& app, const CLI::ParseError& error, CliContext& context) {
  if (error.get_exit_code() == 0) {
    app.exit(error, context.out, context.err);
    return kExitDone;
  }
  context.err << "marquill: " << error.what() << '\n' << kHelpHint << '\n';
  return kExitUsage;
}

int Run(const RunFn& run, CliContext& context) {
  try {
    const int code = run(context);
    context.out.flush();
    return code;
  } catch (const CliError& error) {
    context.err << FormatError(error) << '\n';
    return error.exit_code();
  } catch (const host::ConversionError& error) {
    context.err << "marquill: " << error.what() << '\n';
    return kExitUsage;
  } catch (const std::exception& error) {
    context.err << "marquill: " << error.what() << '\n';
    return kExitFailed;
  }
}

}  // namespace

int RunCli(int argc, const char* const* argv, CliContext& context) {
  CLI::App app{"Marquill: tools for Visual Basic 6 source code.", "marquill"};
  ConfigureApp(app);
  std::vector<std::pair<CLI::App*, RunFn>> commands;
  for (const CliCommand& command : RegisteredCommands()) {
    CLI::App* subcommand = app.add_subcommand(command.name, command.description);
    commands.emplace_back(subcommand, command.setup(*subcommand));
  }
  if (argc <= 1) {
    context.err << app.help();
    return kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ParseFailure(app, error, context);
  }
  for (const auto& [subcommand, run] : commands) {
    if (subcommand->parsed()) return Run(run, context);
  }
  context.err << "marquill: no command given\n" << kHelpHint << '\n';
  return kExitUsage;
}

}  // namespace marquill::cli

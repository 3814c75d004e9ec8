#include "cli/cli_app.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_support.h"
#include "host/code_model.h"
#include "host/text/vb_text.h"

namespace marquill::cli {
namespace {

constexpr const char* kHelpHint = "Run 'marquill --help' for usage.";

void ConfigureApp(CLI::App& app) {
  app.set_version_flag("--version", MARQUILL_VERSION);
  app.require_subcommand(1);
  app.footer(
      "Each command opens its targets (projects, groups, folders or component files), runs the "
      "matching command of the add-in's main window and saves what changed.\nExit codes: 0 "
      "done, 1 the command failed (or --check found files to change), 2 bad usage or input.");
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const CliCommand& command : RegisteredCommands()) names.push_back(command.name);
  return names;
}

std::vector<std::string> OptionNamesOf(const CLI::App& command) {
  std::vector<std::string> names;
  for (const CLI::Option* option : command.get_options()) {
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    for (const std::string& name : option->get_snames()) names.push_back("-" + name);
  }
  return names;
}

std::string DidYouMean(const std::string& nearest) {
  return nearest.empty() ? "" : "; did you mean " + nearest + "?";
}

// "marquill indnet": the first word that is not an option must name a command.
std::optional<std::string> UnknownCommand(int argc, const char* const* argv) {
  if (argc < 2) return std::nullopt;
  const std::string word = argv[1];
  if (word.empty() || word.front() == '-') return std::nullopt;
  const std::vector<std::string> names = CommandNames();
  if (std::find(names.begin(), names.end(), word) != names.end()) return std::nullopt;
  return "unknown command '" + word + "'" + DidYouMean(NearestName(word, names));
}

// The first option the chosen command does not have, with the nearest one it has.
std::optional<std::string> UnknownOption(CLI::App& app, int argc, const char* const* argv) {
  const std::vector<CLI::App*> chosen = app.get_subcommands();
  if (chosen.empty()) return std::nullopt;
  CLI::App& command = *chosen.front();
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    if (word.size() < 2 || word.front() != '-') continue;
    const std::string name = word.substr(0, word.find('='));
    const bool is_short = name[1] != '-';
    // A cluster of short flags (-qv) is CLI11's to judge.
    if (is_short && name.size() > 2) continue;
    if (command.get_option_no_throw(name) != nullptr) continue;
    return command.get_name() + " has no option " + name +
           DidYouMean(NearestName(name, OptionNamesOf(command)));
  }
  return std::nullopt;
}

// CLI11 signals help and version requests as parse errors with exit code 0.
int ParseFailure(CLI::App& app, const CLI::ParseError& error, CliContext& context, int argc,
                 const char* const* argv) {
  if (error.get_exit_code() == 0) {
    app.exit(error, context.out, context.err);
    return kExitDone;
  }
  std::optional<std::string> better;
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr)
    better = UnknownOption(app, argc, argv);
  context.err << "marquill: " << better.value_or(error.what()) << '\n' << kHelpHint << '\n';
  return kExitUsage;
}

// Output that could not be written (a full disk, a closed pipe) is a failure, not a success
// with the output lost.
int CheckOutput(int code, CliContext& context) {
  context.out.flush();
  if (context.out) return code;
  context.err << "marquill: cannot write to standard output\n";
  return std::max(code, kExitFailed);
}

int Run(const RunFn& run, CliContext& context) {
  try {
    return CheckOutput(run(context), context);
  } catch (const CliError& error) {
    context.err << FormatError(error) << '\n';
    return CheckOutput(error.exit_code(), context);
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
  if (const auto unknown = UnknownCommand(argc, argv)) {
    context.err << "marquill: " << *unknown << '\n' << kHelpHint << '\n';
    return kExitUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ParseFailure(app, error, context, argc, argv);
  }
  for (const auto& [subcommand, run] : commands) {
    if (subcommand->parsed()) return Run(run, context);
  }
  context.err << "marquill: no command given\n" << kHelpHint << '\n';
  return kExitUsage;
}

}  // namespace marquill::cli

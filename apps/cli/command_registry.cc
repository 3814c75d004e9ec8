#include "cli/command_registry.h"

#include <algorithm>
#include <utility>

namespace marquill::cli {
namespace {

// A function-local list: registrars in other files may run before anything else is set up.
std::vector<CliCommand>& Registry() {
  static std::vector<CliCommand> commands;
  return commands;
}

}  // namespace

CliError::CliError(int exit_code, std::string message)
    : CliError(exit_code, "", 0, std::move(message)) {}

CliError::CliError(int exit_code, std::string file, int line, std::string message)
    : std::runtime_error(message),
      exit_code_(exit_code),
      file_(std::move(file)),
      line_(line),
      message_(std::move(message)) {}

std::string FormatError(const CliError& error) {
  std::string text = "marquill: ";
  if (!error.file().empty()) {
    text += error.file();
    if (error.line() > 0) {
      text += ':';
      text += std::to_string(error.line());
    }
    text += ": ";
  }
  return text + error.message();
}

std::vector<CliCommand> RegisteredCommands() {
  auto commands = Registry();
  std::sort(commands.begin(), commands.end(),
            [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
  return commands;
}

CommandRegistrar::CommandRegistrar(CliCommand command) { Registry().push_back(std::move(command)); }

}  // namespace marquill::cli

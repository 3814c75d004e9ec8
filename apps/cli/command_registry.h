// How `marquill` finds its commands, and how a command reports failure.
//
// Each command lives in its own apps/cli/cmd_<name>.cc and registers itself from a static object
// there, so adding one never touches main.cc or this file:
//
//   namespace {
//   const CommandRegistrar kIndent{{
//       "indent", "Re-indent code by its block structure",
//       [](CLI::App& app) -> RunFn {
//         auto width = std::make_shared<int>(4);
//         app.add_option("--width", *width, "Indent width");
//         return [width](CliContext& context) { ...; return kExitDone; };
//       }}};
//   }  // namespace
//
// `setup` declares the options on the command's own subcommand and returns the function that
// runs it; the options' storage lives in what that function captures.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace marquill::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed
inline constexpr int kExitUsage = 2;   // bad usage or bad input

// A failure to report to the user and the exit code to leave with. `file` and `line` say where
// the fault is when that is known (line 0: the file as a whole).
class CliError : public std::runtime_error {
 public:
  CliError(int exit_code, std::string message);
  CliError(int exit_code, std::string file, int line, std::string message);

  int exit_code() const { return exit_code_; }
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& message() const { return message_; }

 private:
  int exit_code_;
  std::string file_;
  int line_;
  std::string message_;
};

// "marquill: FILE:LINE: message", "marquill: FILE: message" or "marquill: message".
std::string FormatError(const CliError& error);

// The streams a command talks through: the process's own in the program, strings in tests.
struct CliContext {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  // What a command leaves to live as long as the context, such as a loaded project. The program
  // never ends its context, so a large model is left to the system at exit rather than freed
  // piece by piece; callers that run commands in-process free it with their context.
  std::vector<std::shared_ptr<void>> kept{};
};

using RunFn = std::function<int(CliContext& context)>;

struct CliCommand {
  std::string name;
  std::string description;
  std::function<RunFn(CLI::App& app)> setup;
};

// Every command linked into the program, by name.
std::vector<CliCommand> RegisteredCommands();

class CommandRegistrar {
 public:
  explicit CommandRegistrar(CliCommand command);
};

}  // namespace marquill::cli

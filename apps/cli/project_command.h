// Commands that change projects, and everything they have in common.
//
// A command declares its own options and what it does to one opened project; the framework
// here does the rest for every such command alike:
//   - targets: one or more .vbp, .vbg, folders (--exclude GLOB, repeatable) and component files,
//     and "-" with --stdin-filename NAME for one module on standard input (line commands);
//   - .marquill.ini defaults for the command's options (the command line wins);
//   - --check (list the files that would change, exit 1 if any), --dry-run (a diff that
//     `git apply` takes), both writing nothing anywhere and asking nothing;
//   - a file shared by several projects of one call is written once, by the first;
//   - text files the add-in writes beside the project (its time log) are previewed and counted
//     like the project's own;
//   - the summary line on stderr (-q silences it, -v lists each file).
//
//   const ProjectCommandRegistrar kTidy{{
//       "tidy", "Tidy the code",
//       [](CLI::App& app) -> ProjectAction {
//         auto width = std::make_shared<int>(4);
//         app.add_option("--width", *width, "Width");
//         return [width](ProjectRun& run) { ...run.session.Window()...; };
//       }}};
//
// `setup` may be called more than once (once per set of project settings in effect), each time
// on a fresh CLI::App; the action it returns is run once per project.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "cli/command_registry.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace marquill::shell {
class Session;
class ScriptedPlatform;
}  // namespace marquill::shell

namespace marquill::cli {

enum class RunMode {
  kWrite,   // save what changed
  kDryRun,  // print a unified diff, write nothing
  kCheck,   // list what would change, write nothing
};

// One project being worked on, as the command's action sees it.
struct ProjectRun {
  shell::Session& session;
  // Questions and messages of the add-in; under --dry-run and --check questions get Yes (unless
  // the command asks otherwise) and nobody is asked at a terminal.
  shell::ScriptedPlatform& platform;
  CliContext& context;
  RunMode mode;
  // The target this project came from: a .vbp or the component file worked on alone.
  std::filesystem::path target;
  // Extra figures for the summary line ("3 statements left continued"), added up over projects.
  std::map<std::string, long>& tallies;
  // Whether this call works on more than this one project: what the action prints should then
  // say which project it is about.
  bool one_of_several = false;

  bool WritesNothing() const { return mode != RunMode::kWrite; }
  void Tally(const std::string& what, long count) { tallies[what] += count; }
};

using ProjectAction = std::function<void(ProjectRun& run)>;

struct ProjectCommand {
  std::string name;
  std::string description;
  // Declares the command's own options and returns what it does to one project.
  std::function<ProjectAction(CLI::App& app)> setup;
  // Line commands: "-" reads one module from standard input, --stdin-filename names it.
  bool takes_standard_input = false;
  // Declares --yes: answer Yes to the add-in's questions.
  bool asks = false;
  // Under --dry-run and --check a question no one answers gets Yes (the preview shows what
  // would be done); `run` keeps its scripts' own answers and says No otherwise.
  bool yes_when_writing_nothing = true;
  // The summary counts the project's files as examined. A command that works on a file beside
  // the project instead (its time log) counts only the files it writes.
  bool examines_project_files = true;
  // The action reports the add-in's messages itself (from `run.platform`'s recording), so they
  // do not also go to the console.
  bool reports_messages = false;
};

// The CliCommand that runs `command` through the framework.
CliCommand MakeProjectCommand(ProjectCommand command);

class ProjectCommandRegistrar {
 public:
  explicit ProjectCommandRegistrar(ProjectCommand command);

 private:
  CommandRegistrar registrar_;
};

// An option every project command takes that is read while a project is worked on (the code
// page of its file names, say): declared on every project command next to its own options, so
// `.marquill.ini` sets it like them (`[marquill]` or the command's section). `declare` is run
// once per parse; it binds the option to storage read when the project opens, which holds the
// value for each project in turn. Register it from a static object, as commands are.
class CommonOptionRegistrar {
 public:
  explicit CommonOptionRegistrar(std::function<CLI::Option*(CLI::App& app)> declare);
};

// The option names (without dashes) `command` declares, for `marquill config`.
std::vector<std::string> OptionNames(const ProjectCommand& command);
// Every command registered through the framework.
std::vector<ProjectCommand> RegisteredProjectCommands();

}  // namespace marquill::cli

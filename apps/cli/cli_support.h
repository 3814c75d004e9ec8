// Pieces several commands share: the project argument, --dry-run and its diff, the component a
// command works on, and checks of option values.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "host/vbfiles/vb_project.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI
namespace marquill::host::vbfiles {
class VbProject;
}  // namespace marquill::host::vbfiles

namespace marquill::host {
class Component;
class CodeModule;
}  // namespace marquill::host

namespace marquill::shell {
class Session;
}  // namespace marquill::shell

namespace marquill::cli {

// The PROJECT.vbp argument; an existing file is required, else usage error (exit 2). With it
// comes --codepage N, the Windows code page the project file writes its file names in (932,
// 936, 949, 950, 1250-1258); without it the common ones are tried.
CLI::Option* AddProjectArgument(CLI::App& app, std::string& project);

// --codepage N alone, for commands that take their projects otherwise.
CLI::Option* AddCodePageOption(CLI::App& app);

// How a command loads its project: with the --codepage given, warnings to `err` as
// "marquill: FILE:LINE: warning: message".
host::vbfiles::LoadOptions ProjectLoadOptions(std::ostream& err);

// --dry-run: print a unified diff of what would change and write nothing.
CLI::Option* AddDryRunFlag(CLI::App& app, bool& dry_run);
// --check beside `dry_run`, which it excludes: list what would change (exit 1 if anything would)
// and write nothing.
CLI::Option* AddCheckFlag(CLI::App& app, bool& check, CLI::Option* dry_run);

// The conventions of commands that change files of the add-in's own (its database, the IDE's
// add-in list) rather than a project's: --check lists the files that would change (exit 1 when
// any would), --dry-run shows the change, both write nothing anywhere; after a change the
// summary line goes to stderr (-q silences it, -v names each file first).
struct AddinFileOptions {
  bool check = false;
  bool dry_run = false;
  bool quiet = false;
  bool verbose = false;

  bool WritesNothing() const { return check || dry_run; }
};

// Declares --check, --dry-run (with `dry_run_help`), -q and -v.
void AddAddinFileOptions(CLI::App& app, AddinFileOptions& options, const std::string& dry_run_help);

// What such a command tells once it has worked on `examined` and changed (or, in a preview,
// would change) `changed` of them, `elapsed` seconds after it started: the files on stdout under
// --check, the summary line on stderr. The exit code: 1 under --check when a file would change.
int ReportAddinFiles(const std::string& command, const AddinFileOptions& options,
                     const std::vector<std::filesystem::path>& examined,
                     const std::vector<std::filesystem::path>& changed, double elapsed,
                     std::ostream& out, std::ostream& err);

// Refuses an empty value ("--module ''" must not mean "no module").
CLI::Option* NotEmpty(CLI::Option* option);
// Accepts only a whole number of at least 1 written with digits alone: no sign, point or
// "&H" (the window's own field takes those; the command line says what it means).
CLI::Option* WholeNumberAtLeastOne(CLI::Option* option);

// The component `name_or_file` names in the session's project: its name, or the path of its
// file. CliError (exit 2) listing the project's components (the first twenty) when none fits.
host::Component& FindComponent(shell::Session& session, std::string_view name_or_file);

// The component's code module shown in the active code pane, with lines FIRST-LAST of it
// selected when `select` is not empty. CliError (exit 2) for a component without code and for a
// selection that is malformed or runs past the module's end (naming its code-window length).
host::CodeModule& ShowModule(shell::Session& session, std::string_view name_or_file,
                             std::string_view select);

// The candidate nearest to a mistyped `word` (fewest single-character edits, a swap of two
// neighbours counting as one), or "" when none is close enough to be meant.
std::string NearestName(std::string_view word, const std::vector<std::string>& candidates);

// Checks FIRST-LAST without a module at hand.
void CheckSelection(std::string_view select);

// What loading the project did besides reading it (an interrupted save finished or cleared
// away), one "marquill: ..." line each.
void PrintLoadNotices(std::ostream& err, const host::vbfiles::VbProject& project);

}  // namespace marquill::cli

// Pieces several commands share: the project argument, --dry-run and its diff.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "host/vbfiles/vb_project.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI
namespace marquill::host::vbfiles {
class VbProject;
}  // namespace marquill::host::vbfiles

namespace marquill::cli {

// The PROJECT.vbp argument; an existing file is required, else usage error (exit 2). With it
// comes --codepage N, the Windows code page the project file writes its file names in (932,
// 936, 949, 950, 1250-1258); without it the common ones are tried.
CLI::Option* AddProjectArgument(CLI::App& app, std::string& project);

// How a command loads its project: with the --codepage given, warnings to `err` as
// "marquill: FILE:LINE: warning: message".
host::vbfiles::LoadOptions ProjectLoadOptions(std::ostream& err);

// --dry-run: print a unified diff of what would change and write nothing.
CLI::Option* AddDryRunFlag(CLI::App& app, bool& dry_run);

// The unified diff of `file` from `before` to `after`; nothing when they are equal.
void WriteDryRunDiff(std::ostream& out, const std::filesystem::path& file, std::string_view before,
                     std::string_view after);

// What loading the project did besides reading it (an interrupted save finished or cleared
// away), one "marquill: ..." line each.
void PrintLoadNotices(std::ostream& err, const host::vbfiles::VbProject& project);

}  // namespace marquill::cli

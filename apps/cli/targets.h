// What a command works on: the targets named on the command line, turned into projects.
//
// A target is a project file (.vbp), a project group (.vbg: every project it lists), a folder
// (every .vbp below it, minus what --exclude names) or a single component file, which is worked
// on as a project of its own. "-" stands for one module read from standard input.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::cli {

enum class TargetKind {
  kProject,        // a .vbp
  kComponent,      // a component file worked on alone
  kStandardInput,  // one module on standard input, named by --stdin-filename
};

struct ProjectTarget {
  TargetKind kind = TargetKind::kProject;
  std::filesystem::path path;  // the .vbp, the component file, or the name given for stdin
};

// The file types a project lists with code in them.
bool IsComponentFile(const std::filesystem::path& path);

// True when `glob` matches the path relative to the searched folder (forward slashes) or the
// name of the file or folder alone. Folders that match are not searched.
bool Excluded(std::string_view relative_path, std::string_view name,
              const std::vector<std::string>& globs);

// The projects of one target, in a stable order. CliError (exit 2) for a target that does not
// exist or is no kind of target, and for a group that names a missing project (at its line).
std::vector<ProjectTarget> ExpandTarget(const std::filesystem::path& target,
                                        const std::vector<std::string>& excludes);

// The projects a group file lists, resolved against its folder.
std::vector<std::filesystem::path> ReadProjectGroup(const std::filesystem::path& vbg);

// The project file text that lists `component` alone, for working on it as a project.
std::string SingleComponentProjectText(const std::filesystem::path& component);
// Where that made-up project file would be; never written.
std::filesystem::path SingleComponentProjectPath(const std::filesystem::path& component);

// `path` as diffs and lists name it: relative to the current folder, forward slashes, no ".."
// pieces. A file outside the current folder is named by its absolute path without the leading
// slash, so `patch -p1 -d /` applies a diff naming it.
std::string DisplayPath(const std::filesystem::path& path);

// One identity for a file however it is reached, for "this file was handled already".
std::filesystem::path FileIdentity(const std::filesystem::path& path);

}  // namespace marquill::cli

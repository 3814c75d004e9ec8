// Where the add-in keeps its files.
//
// The add-in folder holds the database, the help page and the default export folder; the settings
// folder holds settings.ini, our stand-in for the registry key. On Linux both follow the XDG base
// directories (paths_posix.cc); on Windows the add-in folder is the program's own folder, or
// %APPDATA%\Marquill when that cannot be written (paths_win.cc). MARQUILL_HOME names the add-in
// folder outright everywhere (tests and portable setups). Folder paths end in the separator, so
// a file name can be appended as it is.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "host/code_model.h"

namespace marquill::host {

// No home folder could be found to put the defaults under.
class PathError : public HostError {
 public:
  using HostError::HostError;
};

// Reads one environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> ProcessEnvironment(const char* name);

// $MARQUILL_HOME, else $XDG_DATA_HOME/marquill, else ~/.local/share/marquill; on Windows
// $MARQUILL_HOME, else the program's folder, else %APPDATA%\Marquill.
std::filesystem::path AddInFolder(const EnvLookup& env = ProcessEnvironment);
// $XDG_CONFIG_HOME/marquill, else ~/.config/marquill; on Windows %APPDATA%\Marquill.
std::filesystem::path SettingsFolder(const EnvLookup& env = ProcessEnvironment);

// The variable's value when it is set and not empty: an empty variable counts as unset.
std::optional<std::string> NonEmptySetting(const EnvLookup& env, const char* name);
// `folder` ending in exactly one separator, however many it carried.
std::filesystem::path AsFolder(const std::filesystem::path& folder);

inline constexpr const char* kDatabaseFileName = "Marquill.mdb";
// The add-in database: Marquill.mdb in the add-in folder.
std::filesystem::path DatabaseFile(const EnvLookup& env = ProcessEnvironment);

// `path` as diffs and file lists name it, so that `git apply` and `patch -p1` take them: relative
// to the current folder, forward slashes, no "." or ".." pieces. A file outside the current
// folder is named by its absolute path without the leading slash (`patch -p1 -d /` applies it).
std::string DisplayPath(const std::filesystem::path& path);

}  // namespace marquill::host

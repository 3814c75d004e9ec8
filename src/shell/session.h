// One use of the add-in on a project on disk, as every command of the command line makes it:
// open the project, connect the add-in, open the main window, do something with it, close the
// window, disconnect, and save what changed (or, with a dry run, print a diff and write nothing).
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/vbfiles/vb_project.h"
#include "shell/command_bars/recording_command_bars.h"
#include "shell/connect.h"
#include "shell/platform/platform_services.h"
#include "shell/settings/settings_store.h"
#include "shell/time_log.h"

namespace marquill::shell {

class NotingTimeLog;

struct SessionOptions {
  // Empty: no project is opened.
  std::filesystem::path project;
  // Print a unified diff of every changed file (time logs included) to `diff_out` instead of
  // saving.
  bool dry_run = false;
  std::ostream* diff_out = nullptr;
  // Write nothing anywhere, for previews and checks: settings are read but never saved, the time
  // log is left alone and the add-in database is worked on in a copy in memory. The project is
  // only saved by Finish() or by the caller.
  bool writes_nothing = false;
  // The project file's text when no file holds it: a component file worked on as a project of
  // its own. `project` then names where that file would be.
  std::optional<std::string> project_text;
  // Required: how the add-in shows messages and gets answers.
  PlatformServices* platform = nullptr;
  // Defaults: settings.ini in the settings folder, the add-in folder of the environment, the
  // time log beside the project file.
  SettingsStore* settings = nullptr;
  std::string addin_folder;
  TimeLog* time_log = nullptr;
  // How the project is read: its file names' code page, where warnings go.
  host::vbfiles::LoadOptions load;
};

class Session {
 public:
  // Loads the project (vbfiles::LoadError when it cannot be read), connects the add-in and
  // opens its main window. A dry run opens the add-in's database as a scratch copy.
  explicit Session(const SessionOptions& options);
  // Without Finish(): closes the window and disconnects, saving nothing.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  host::MemoryVbe& Vbe() { return vbe_; }
  // HostError when the session opened no project.
  host::vbfiles::VbProject& Project();
  RecordingCommandBars& Bars() { return bars_; }
  Connect& Addin() { return *addin_; }
  // The main window; HostError when something closed it.
  frmUtility& Window();

  // Closes the window, disconnects, then saves the changed files, or prints their diff on a dry
  // run. Returns the changed files. vbfiles::SaveError when a file cannot be written; then none
  // has been replaced.
  std::vector<std::filesystem::path> Finish();
  // Closes the window and disconnects, saving nothing; the project stays loaded for the caller.
  void Close();
  // The HTML pages a preview session kept from being written, by path.
  const std::map<std::string, std::string>& PreviewPages() const { return preview_pages_; }
  // The text files besides the project's that the add-in wrote through its time log access (a
  // time log, the IDE's add-in list), or in a preview kept from being written, by path: what
  // each held before (nothing when it did not exist) and after.
  const std::map<std::string, MemoryTimeLog::Change>& TextFileChanges() const;

 private:
  void ShowChange(const std::filesystem::path& path, const std::optional<std::string>& before,
                  const std::string& after) const;
  SessionOptions options_;
  std::unique_ptr<SettingsStore> own_settings_;
  std::unique_ptr<TimeLog> own_time_log_;
  std::unique_ptr<MemoryTimeLog> dry_run_log_;        // a dry run's time log writes
  std::unique_ptr<NotingTimeLog> noting_log_;         // otherwise, what was written
  std::map<std::string, std::string> preview_pages_;  // a dry run's HTML pages, by path
  host::MemoryVbe vbe_;
  std::unique_ptr<host::vbfiles::VbProject> project_;
  RecordingCommandBars bars_;
  std::unique_ptr<Connect> addin_;
  bool closed_ = false;
};

// Runs `steps` in a session and finishes it; when `steps` throws, nothing is saved.
std::vector<std::filesystem::path> RunSession(const SessionOptions& options,
                                              const std::function<void(Session&)>& steps);

// Designers' side files hold pictures and long texts as binary records: a line diff of them
// would only spill raw bytes, so diffs name them as diff(1) names binary files.
bool IsSideFile(const std::filesystem::path& path);

// The diff of one file as `git apply` and `patch -p1` take it from the current folder: a/ and b/
// labels, a file that did not exist coming from /dev/null, side files named as binary. Nothing
// when `before` and `after` are equal.
void WriteFileDiff(std::ostream& out, const std::filesystem::path& path,
                   const std::optional<std::string>& before, const std::string& after);

// The add-in folder of the environment as the shell uses it: ending in the path separator.
std::string DefaultAddinFolder();

}  // namespace marquill::shell

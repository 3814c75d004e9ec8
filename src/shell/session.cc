#include "shell/session.h"

#include <stdlib.h>

#include <cerrno>
#include <ostream>
#include <system_error>

#include "host/files/file_io.h"
#include "host/paths/paths.h"
#include "host/text/unified_diff.h"

namespace marquill::shell {

namespace {

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

}  // namespace

std::string DefaultAddinFolder() { return WithSeparator(host::AddInFolder().string()); }

Session::Session(const SessionOptions& options) : options_(options) {
  if (options_.platform == nullptr)
    throw std::invalid_argument("a session needs platform services");
  if (options_.settings == nullptr && options_.dry_run) {
    own_settings_ = std::make_unique<MemorySettingsStore>();  // the window's place is not kept
    options_.settings = own_settings_.get();
  } else if (options_.settings == nullptr) {
    own_settings_ =
        std::make_unique<IniSettingsStore>(WithSeparator(host::SettingsFolder().string()));
    options_.settings = own_settings_.get();
  }
  if (options_.time_log == nullptr) {
    own_time_log_ = std::make_unique<FileTimeLog>();
    options_.time_log = own_time_log_.get();
  }
  options_.addin_folder =
      options_.addin_folder.empty() ? DefaultAddinFolder() : WithSeparator(options_.addin_folder);
  std::string database_file;
  if (options_.dry_run) {
    dry_run_log_ = std::make_unique<MemoryTimeLog>(options_.time_log);
    options_.time_log = dry_run_log_.get();
    database_file = DatabaseCopy();
  }

  if (!options_.project.empty()) {
    project_ = host::vbfiles::VbProject::Load(options_.project);
    project_->AttachTo(vbe_);
  }
  addin_ = std::make_unique<Connect>(AddinServices{*options_.platform, *options_.settings,
                                                   *options_.time_log, options_.addin_folder,
                                                   database_file});
  addin_->OnConnection(vbe_, bars_);
  addin_->OpenMainWindow();
}

Session::~Session() {
  Close();
  addin_.reset();
  if (!dry_run_folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dry_run_folder_, ignored);
  }
}

// A copy of the add-in database in a fresh temporary folder, so a dry run may open, create and
// change it freely.
std::string Session::DatabaseCopy() {
  std::string folder_template =
      (std::filesystem::temp_directory_path() / "marquill-dry-run-XXXXXX").string();
  if (mkdtemp(folder_template.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "cannot create a temporary folder");
  }
  dry_run_folder_ = folder_template;
  const std::filesystem::path copy = dry_run_folder_ / "Marquill.mdb";
  const std::filesystem::path original =
      std::filesystem::path(options_.addin_folder) / "Marquill.mdb";
  std::error_code error;
  if (std::filesystem::exists(original, error)) std::filesystem::copy_file(original, copy);
  return copy.string();
}

host::vbfiles::VbProject& Session::Project() {
  if (!project_) throw host::HostError("no project is open");
  return *project_;
}

frmUtility& Session::Window() {
  frmUtility* window = addin_->MainWindow();
  if (window == nullptr) throw host::HostError("the main window is not open");
  return *window;
}

void Session::Close() {
  if (closed_) return;
  closed_ = true;
  addin_->UnloadMainWindow();
  addin_->OnDisconnection();
}

std::vector<std::filesystem::path> Session::Finish() {
  Close();
  std::vector<std::filesystem::path> changed;
  if (!project_) return changed;
  if (!options_.dry_run) return project_->Save();
  for (const auto& file : project_->SaveToMemory()) {
    std::string before = host::ReadWholeFile(file.path.string()).value_or("");
    if (options_.diff_out != nullptr) {
      // Both labels name the file itself, so `patch -p0` applies the output as it is.
      std::string label = file.path.string();
      *options_.diff_out << host::UnifiedDiff(before, file.bytes, label, label);
    }
    changed.push_back(file.path);
  }
  for (const auto& [path, change] : dry_run_log_->Changes()) {
    if (options_.diff_out != nullptr) {
      *options_.diff_out << host::UnifiedDiff(change.before.value_or(""), change.after, path, path);
    }
    changed.push_back(path);
  }
  return changed;
}

std::vector<std::filesystem::path> RunSession(const SessionOptions& options,
                                              const std::function<void(Session&)>& steps) {
  Session session(options);
  steps(session);
  return session.Finish();
}

}  // namespace marquill::shell

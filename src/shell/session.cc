#include "shell/session.h"

#include <ostream>

#include "host/files/file_io.h"
#include "host/paths/paths.h"
#include "host/text/unified_diff.h"
#include "host/text/vb_text.h"

namespace marquill::shell {

namespace {

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

// Designers' side files hold pictures and long texts as binary records: a line diff of them
// would only spill raw bytes, so they are named as diff(1) names binary files.
bool IsSideFile(const std::filesystem::path& path) {
  const std::string extension = host::LowerAscii(path.extension().string());
  for (const char* side : {".frx", ".ctx", ".pgx", ".dox", ".dsx"}) {
    if (extension == side) return true;
  }
  return false;
}

}  // namespace

std::string DefaultAddinFolder() { return WithSeparator(host::AddInFolder().string()); }

Session::Session(const SessionOptions& options) : options_(options) {
  if (options_.platform == nullptr)
    throw std::invalid_argument("a session needs platform services");
  if (options_.settings == nullptr) {
    const std::string folder = WithSeparator(host::SettingsFolder().string());
    const std::function<void(const host::vbfiles::LoadWarning&)> warn = options_.load.warn;
    own_settings_ =
        std::make_unique<IniSettingsStore>(folder, [warn, folder](const std::string& message) {
          if (warn) warn({folder + "settings.ini", 0, message});
        });
    options_.settings = own_settings_.get();
  }
  if (options_.time_log == nullptr) {
    own_time_log_ = std::make_unique<FileTimeLog>();
    options_.time_log = own_time_log_.get();
  }
  options_.addin_folder =
      options_.addin_folder.empty() ? DefaultAddinFolder() : WithSeparator(options_.addin_folder);

  // Without a project the window still serves what needs none, such as the comment settings.
  if (!options_.project.empty()) {
    project_ = host::vbfiles::VbProject::Load(options_.project, options_.load);
    project_->AttachTo(vbe_);
  }
  addin_ = std::make_unique<Connect>(AddinServices{*options_.platform, *options_.settings,
                                                   *options_.time_log, options_.addin_folder});
  // A dry run writes nothing anywhere, the add-in's database included.
  if (options_.dry_run) addin_->Shared().database.SetMode(host::OpenMode::kScratchCopy);
  addin_->OnConnection(vbe_, bars_);
  addin_->OpenMainWindow();
}

Session::~Session() { Close(); }

host::vbfiles::VbProject& Session::Project() {
  if (project_ == nullptr) throw host::HostError("the session opened no project");
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
  if (project_ == nullptr) return {};
  if (!options_.dry_run) return project_->Save();
  std::vector<std::filesystem::path> changed;
  for (const auto& file : project_->SaveToMemory()) {
    std::string before = host::ReadWholeFile(file.path.string()).value_or("");
    if (options_.diff_out != nullptr) {
      // Both labels name the file itself, so `patch -p0` applies the output as it is.
      std::string label = file.path.string();
      if (IsSideFile(file.path)) {
        *options_.diff_out << "Binary files " << label << " and " << label << " differ\n";
      } else {
        *options_.diff_out << host::UnifiedDiff(before, file.bytes, label, label);
      }
    }
    changed.push_back(file.path);
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

#include "shell/session.h"

#include <ostream>
#include <system_error>

#include "host/files/file_io.h"
#include "host/paths/paths.h"
#include "host/text/unified_diff.h"
#include "host/text/vb_text.h"
#include "shell/settings/system_settings.h"
#include "shell/window/export_tab_commands.h"

namespace marquill::shell {

namespace {

// A folder named with the system's own separator at its end (a Windows "C:\\Marquill\\") is
// already a folder path.
std::string WithSeparator(std::string folder) {
  const char native = static_cast<char>(std::filesystem::path::preferred_separator);
  if (folder.empty() || (folder.back() != kPathSeparator && folder.back() != native))
    folder += kPathSeparator;
  return folder;
}

// Reads the real settings and forgets every change, so a preview leaves the stored ones alone.
class ReadOnlySettings : public SettingsStore {
 public:
  explicit ReadOnlySettings(std::unique_ptr<SettingsStore> stored) : stored_(std::move(stored)) {}
  std::string GetRegString(std::string_view key, std::string_view name) override {
    std::string saved = memory_.GetRegString(key, name);
    return saved.empty() ? stored_->GetRegString(key, name) : saved;
  }
  void SaveRegString(std::string_view key, std::string_view name, std::string_view text) override {
    memory_.SaveRegString(key, name, text);
  }

 private:
  std::unique_ptr<SettingsStore> stored_;
  MemorySettingsStore memory_;
};

}  // namespace

// Passes every read and write on to the files, noting what each written file held before and
// holds after, so a command can tell what it changed.
class NotingTimeLog : public TimeLog {
 public:
  explicit NotingTimeLog(TimeLog& files) : files_(files) {}

  std::chrono::system_clock::time_point CurrentTime() override { return files_.CurrentTime(); }
  std::optional<std::string> Read(const std::string& path) override { return files_.Read(path); }
  void Append(const std::string& path, std::string_view bytes) override {
    MemoryTimeLog::Change& change = Note(path);
    files_.Append(path, bytes);
    change.after += bytes;
  }
  void Replace(const std::string& path, std::string_view bytes) override {
    MemoryTimeLog::Change& change = Note(path);
    files_.Replace(path, bytes);
    change.after = std::string(bytes);
  }
  const std::map<std::string, MemoryTimeLog::Change>& Changes() const { return changes_; }

 private:
  MemoryTimeLog::Change& Note(const std::string& path) {
    auto found = changes_.find(path);
    if (found != changes_.end()) return found->second;
    std::optional<std::string> before;
    try {
      before = files_.Read(path);
    } catch (const std::system_error&) {
      // The write that follows meets the same fault and reports it.
    }
    return changes_.emplace(path, MemoryTimeLog::Change{before, before.value_or("")}).first->second;
  }

  TimeLog& files_;
  std::map<std::string, MemoryTimeLog::Change> changes_;
};

bool IsSideFile(const std::filesystem::path& path) {
  const std::string extension = host::LowerAscii(path.extension().string());
  for (const char* side : {".frx", ".ctx", ".pgx", ".dox", ".dsx"}) {
    if (extension == side) return true;
  }
  return false;
}

std::string DefaultAddinFolder() { return WithSeparator(host::AddInFolder().string()); }

Session::Session(const SessionOptions& options) : options_(options) {
  if (options_.platform == nullptr)
    throw std::invalid_argument("a session needs platform services");
  if (options_.settings == nullptr) {
    const std::function<void(const host::vbfiles::LoadWarning&)> warn = options_.load.warn;
    auto tell = [warn, place = SystemSettingsPlace()](const std::string& message) {
      if (warn) warn({place, 0, message});
    };
    own_settings_ = OpenSystemSettings(tell);
    if (options_.writes_nothing || options_.dry_run)
      own_settings_ = std::make_unique<ReadOnlySettings>(std::move(own_settings_));
    options_.settings = own_settings_.get();
  }
  if (options_.time_log == nullptr) {
    own_time_log_ = std::make_unique<FileTimeLog>();
    options_.time_log = own_time_log_.get();
  }
  options_.addin_folder =
      options_.addin_folder.empty() ? DefaultAddinFolder() : WithSeparator(options_.addin_folder);

  // A preview's log lines stay in memory, over the real log it reads.
  if (options_.dry_run || options_.writes_nothing) {
    dry_run_log_ = std::make_unique<MemoryTimeLog>(options_.time_log);
    options_.time_log = dry_run_log_.get();
  } else {
    noting_log_ = std::make_unique<NotingTimeLog>(*options_.time_log);
    options_.time_log = noting_log_.get();
  }
  // Without a project the window still serves what needs none, such as the comment settings.
  if (options_.project_text) {
    project_ =
        host::vbfiles::VbProject::Load(options_.project, *options_.project_text, options_.load);
  } else if (!options_.project.empty()) {
    project_ = host::vbfiles::VbProject::Load(options_.project, options_.load);
  }
  if (project_ != nullptr) project_->AttachTo(vbe_);
  addin_ = std::make_unique<Connect>(AddinServices{*options_.platform, *options_.settings,
                                                   *options_.time_log, options_.addin_folder});
  // A preview writes nothing anywhere, the add-in's database included.
  if (options_.dry_run || options_.writes_nothing)
    addin_->Shared().database.SetMode(host::OpenMode::kScratchCopy);
  addin_->OnConnection(vbe_, bars_);
  addin_->OpenMainWindow();
  if (options_.dry_run || options_.writes_nothing) {
    SetPageWriter(Window(), [this](const std::string& path, std::string_view bytes) {
      preview_pages_[path] = std::string(bytes);
    });
  }
}

Session::~Session() { Close(); }

const std::map<std::string, MemoryTimeLog::Change>& Session::TextFileChanges() const {
  return dry_run_log_ != nullptr ? dry_run_log_->Changes() : noting_log_->Changes();
}

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
  if (!options_.dry_run) {
    if (options_.writes_nothing || project_ == nullptr) return {};
    return project_->Save();
  }
  std::vector<std::filesystem::path> changed;
  const auto files =
      project_ != nullptr ? project_->SaveToMemory() : decltype(project_->SaveToMemory()){};
  for (const auto& file : files) {
    std::optional<std::string> before = host::ReadWholeFile(file.path.string());
    ShowChange(file.path, before, file.bytes);
    changed.push_back(file.path);
  }
  for (const auto& [path, bytes] : preview_pages_) {
    ShowChange(path, host::ReadWholeFile(path), bytes);
    changed.push_back(path);
  }
  for (const auto& [path, change] : dry_run_log_->Changes()) {
    if (change.before == change.after) continue;
    ShowChange(path, change.before, change.after);
    changed.push_back(path);
  }
  return changed;
}

void Session::ShowChange(const std::filesystem::path& path,
                         const std::optional<std::string>& before, const std::string& after) const {
  if (options_.diff_out != nullptr) WriteFileDiff(*options_.diff_out, path, before, after);
}

void WriteFileDiff(std::ostream& out, const std::filesystem::path& path,
                   const std::optional<std::string>& before, const std::string& after) {
  if (before == after) return;
  const std::string label = host::DisplayPath(path);
  const std::string from = before ? "a/" + label : "/dev/null";
  if (IsSideFile(path)) {
    out << "Binary files " << from << " and b/" << label << " differ\n";
  } else {
    out << host::UnifiedDiff(before.value_or(""), after, from, "b/" + label);
  }
}

std::vector<std::filesystem::path> RunSession(const SessionOptions& options,
                                              const std::function<void(Session&)>& steps) {
  Session session(options);
  steps(session);
  return session.Finish();
}

}  // namespace marquill::shell

#include "shell/time_log_commands.h"

#include <memory>
#include <optional>
#include <system_error>

#include "host/ignore_errors.h"
#include "host/text/line_text.h"
#include "host/timelog/time_log_text.h"
#include "shell/connect.h"
#include "shell/time_log.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {

namespace {

std::string Reason(const std::system_error& error) { return error.code().message(); }

// The log of the active project; "" after telling the user that an unsaved project has none.
std::string ActiveLogPath(host::Vbe* vbe, PlatformServices& platform) {
  host::Project* project = vbe != nullptr ? vbe->ActiveProject() : nullptr;
  std::string path = project != nullptr ? TimeLogPath(project->FileName()) : "";
  if (path.empty()) platform.Message(kUnsavedProjectText, kErrorTitle);
  return path;
}

std::string LineList(const std::vector<int>& lines) {
  constexpr std::size_t kShown = 10;
  std::string list;
  for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) {
    list += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
  }
  if (lines.size() > kShown) list += ", ...";
  return list;
}

// The viewer of one window. It remembers the file as it was loaded, so that "Save" never
// replaces lines the viewer has not shown (a log never loaded, or one the clock has written to
// since).
class LogViewer {
 public:
  explicit LogViewer(frmUtility& window) : window_(window) {}

  void cmdLogs_Click(int index) {
    const std::string path = ActiveLogPath(window_.Vbe(), window_.Platform());
    if (path.empty() || window_.Log() == nullptr) return;
    switch (index) {
      case 0:
        return Load(path);
      case 1:
        return Save(path);
      case 2:
        return Close();
      default:
        return;
    }
  }

 private:
  void Fail(const std::string& text) { window_.Platform().Message(text, kErrorTitle); }

  void Load(const std::string& path) {
    std::optional<std::string> bytes;
    try {
      bytes = window_.Log()->Read(path);
    } catch (const std::system_error& error) {
      return Fail("Cannot read " + path + ": " + Reason(error) + ".");
    }
    if (!bytes) return;  // no log yet: the viewer stays as it is
    if (!host::LooksLikeText(*bytes)) {
      return Fail(path + " is not a text file; it was not loaded.");
    }
    const host::TimeLogTotal total = host::SumTimeLog(*bytes, host::UserDateOrder());
    window_.txtLogs.SetText(ViewerText(*bytes));
    window_.txtTotalLogs.SetText(host::FormatLogTotal(total.seconds));
    loaded_path_ = path;
    loaded_bytes_ = std::move(*bytes);
    if (!total.unread_lines.empty()) {
      Fail(std::to_string(total.unread_lines.size()) + " line(s) of " + path +
           " hold no start or stop time and are not counted: line " + LineList(total.unread_lines) +
           ".");
    }
  }

  void Save(const std::string& path) {
    std::optional<std::string> now;
    try {
      now = window_.Log()->Read(path);
    } catch (const std::system_error& error) {
      return Fail("Cannot read " + path + ": " + Reason(error) + "; it was not written.");
    }
    if (now && (loaded_path_ != path || *now != loaded_bytes_)) {
      return Fail(loaded_path_ != path
                      ? "Load " + path + " before saving it; it was not written."
                      : path + " changed since it was loaded; load it again. It was not written.");
    }
    std::string bytes = window_.txtLogs.Text() + "\r\n";
    try {
      window_.Log()->Replace(path, bytes);
    } catch (const std::system_error& error) {
      return Fail("Cannot write " + path + ": " + Reason(error) + ".");
    }
    loaded_path_ = path;
    loaded_bytes_ = std::move(bytes);
  }

  void Close() {
    window_.txtLogs.SetText("");
    window_.txtTotalLogs.SetText("");
    loaded_path_.clear();
    loaded_bytes_.clear();
  }

  frmUtility& window_;
  std::string loaded_path_;
  std::string loaded_bytes_;
};

}  // namespace

void ToggleClock(Connect& addin) {
  PlatformServices& platform = addin.Platform();
  host::Vbe* vbe = addin.Vbe();
  host::Project* project = vbe != nullptr ? vbe->ActiveProject() : nullptr;
  if (project == nullptr || project->FileName().empty()) {
    platform.Message(kUnsavedProjectText, kErrorTitle);
    return;
  }
  const bool start = !addin.ClockRunning();
  std::string line;
  try {
    line = WriteClockLine(addin.Log(), *project, start ? kStartPrefix : kStopPrefix);
  } catch (const std::system_error& error) {
    platform.Message("Cannot write " + TimeLogPath(project->FileName()) + ": " + Reason(error) +
                         "; the clock was not " + (start ? "started." : "stopped."),
                     kErrorTitle);
    return;
  }
  addin.SetClockRunning(start);
  host::Step([&] {
    if (CommandBarControl* button = addin.TimeButton()) {
      button->SetFace(start ? kFaceClockRunning : kFaceClock);
    }
  });
  platform.Message(line);
}

std::string ViewerText(std::string_view bytes) { return host::LinesEndedByCrLf(bytes); }

void AttachTimeLogViewer(frmUtility& window) {
  auto viewer = std::make_shared<LogViewer>(window);
  window.KeepAlive(viewer);
  window.cmdLogs.OnClick([viewer = viewer.get()](int index) { viewer->cmdLogs_Click(index); });
}

}  // namespace marquill::shell

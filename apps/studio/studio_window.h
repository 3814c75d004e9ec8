// The studio's main window: the IDE around the add-in. A project explorer (components grouped by
// type), code and designer windows in an MDI area, the Immediate window, the File, View and
// Add-Ins menus, and the add-in itself, connected at start and disconnected at exit.
//
// Every action that can reach the add-in (a menu or toolbar Click, a widget of its main window)
// runs through RunAction: the user's edits are written into the modules first, and afterwards the
// code windows show what the command changed, and the add-in's main window appears or goes away
// as the model says.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "host/vbfiles/vb_project.h"
#include "qt_command_bars.h"
#include "shell/connect.h"
#include "studio_vbe.h"
#include "utility_dialog.h"

namespace marquill::studio {

struct StudioServices {
  shell::PlatformServices& platform;
  shell::SettingsStore& settings;
  shell::TimeLog& time_log;
  std::string addin_folder;  // ends in the path separator
};

// What the user answers when asked about unsaved changes.
enum class SaveAnswer { kSave, kDiscard, kCancel };

class StudioMainWindow final : public QMainWindow {
 public:
  explicit StudioMainWindow(StudioServices services);
  ~StudioMainWindow() override;

  // Opens a project in place of the current one (asking about unsaved changes first). On a load
  // failure the loader's message is shown and the current project stays. False when nothing was
  // opened.
  bool OpenProject(const std::filesystem::path& vbp_path);
  // Saves the changed files; on failure says why and keeps the changes. False when it failed.
  bool SaveProject();
  // Whether the project holds changes no file has yet (the user's unflushed typing included).
  bool HasUnsavedChanges();
  // Asks about unsaved changes and saves when told to; false when the user cancels.
  bool ConfirmDiscard();

  // Runs a user action against the add-in and shows its effects.
  void RunAction(const std::function<void()>& action);

  // The question asked about unsaved changes; tests answer it themselves.
  void SetSaveQuestion(std::function<SaveAnswer(const QString&)> ask) { ask_ = std::move(ask); }

  StudioVbe& Vbe() { return *vbe_; }
  QtCommandBars& Bars() { return *bars_; }
  shell::Connect& Addin() { return *addin_; }
  host::vbfiles::VbProject* Project() { return project_.get(); }
  QMdiArea& Area() { return *area_; }
  QTreeWidget& Explorer() { return *explorer_; }
  QPlainTextEdit& Immediate() { return *immediate_; }
  QMenu& AddInsMenu() { return *addins_menu_; }
  // The add-in's main window on screen, nullptr while it is closed.
  UtilityDialog* MainDialog() { return dialog_; }

  // Opens the code window (or, for a component without code, the designer) of the component.
  void ShowComponent(const std::string& name, bool designer);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void FillExplorer();
  void SyncDialog();
  void CloseDialog();
  void ChooseAndOpen();
  void ShowSelected(bool designer);
  void UpdateTitle();

  StudioServices services_;
  QMdiArea* area_ = nullptr;
  QTreeWidget* explorer_ = nullptr;
  QPlainTextEdit* immediate_ = nullptr;
  QMenu* addins_menu_ = nullptr;
  std::unique_ptr<StudioVbe> vbe_;
  std::unique_ptr<QtCommandBars> bars_;
  std::unique_ptr<shell::Connect> addin_;
  std::unique_ptr<host::vbfiles::VbProject> project_;
  UtilityDialog* dialog_ = nullptr;
  std::function<SaveAnswer(const QString&)> ask_;
  bool connected_ = false;
};

// "Forms", "Modules", "Class Modules", ...: the explorer's folder of a component type.
QString FolderOf(host::ComponentType type);

}  // namespace marquill::studio

#include "screenshots.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QThread>
#include <QToolBar>

namespace marquill::studio {
namespace {

// Lets the window system draw what was just shown.
void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    QThread::msleep(40);
  }
}

bool Save(QWidget& widget, const QString& path, QStringList& written) {
  Settle();
  if (!widget.grab().save(path, "PNG")) return false;
  written << path;
  return true;
}

}  // namespace

QStringList TakeScreenshots(StudioMainWindow& studio, const QString& folder) {
  QStringList written;
  host::vbfiles::VbProject* project = studio.Project();
  if (project == nullptr || !QDir().mkpath(folder)) return written;
  // A form's designer and a module's code, as a user would open them first.
  std::string module;
  std::string form;
  for (host::MemoryComponent* component : project->Project().AllComponents()) {
    if (module.empty() && component->Type() == host::ComponentType::kStdModule) {
      module = component->Name();
    }
    if (form.empty() && component->Type() == host::ComponentType::kVBForm) form = component->Name();
  }
  if (!form.empty()) studio.ShowComponent(form, true);
  if (!module.empty()) studio.ShowComponent(module, false);
  studio.Area().tileSubWindows();
  Save(studio, QDir(folder).filePath("studio.png"), written);

  QToolBar* toolbar = studio.Bars().Toolbar("VB Hobrook");
  if (toolbar == nullptr || toolbar->actions().isEmpty()) return written;
  for (QAction* action : toolbar->actions()) {
    if (action->text() == "VB Marquill") {
      action->trigger();
      break;
    }
  }
  UtilityDialog* dialog = studio.MainDialog();
  if (dialog == nullptr) return written;
  for (int tab = 0; tab < dialog->Tabs().count(); ++tab) {
    dialog->Tabs().setCurrentIndex(tab);
    Save(*dialog, QDir(folder).filePath(QString("main-window-%1.png").arg(tab)), written);
  }
  return written;
}

}  // namespace marquill::studio

#include "measure.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <chrono>
#include <cstdio>

#include "shell/platform/scripted_platform.h"
#include "shell/settings/settings_store.h"
#include "shell/time_log.h"
#include "studio_window.h"

namespace marquill::studio {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool MeasureProject(const std::filesystem::path& vbp_path) {
  QTemporaryDir scratch;
  shell::ScriptedPlatform platform;
  shell::MemorySettingsStore settings;
  shell::MemoryTimeLog log;
  StudioMainWindow studio(
      StudioServices{platform, settings, log, scratch.path().toStdString() + "/"});
  studio.SetSaveQuestion([](const QString&) { return SaveAnswer::kDiscard; });
  studio.show();

  auto start = std::chrono::steady_clock::now();
  if (!studio.OpenProject(vbp_path)) return false;
  QApplication::processEvents();
  std::printf("open and explorer: %.2f s (%d components)\n", SecondsSince(start),
              studio.Project()->Project().Components().Count());

  int opened = 0;
  for (host::MemoryComponent* component : studio.Project()->Project().AllComponents()) {
    if (opened == 3) break;
    if (component->CodeModule() == nullptr) continue;
    studio.ShowComponent(component->Name(), false);
    ++opened;
  }
  QToolBar* toolbar = studio.Bars().Toolbar("VB Hobrook");
  if (toolbar == nullptr) return false;
  for (QAction* action : toolbar->actions()) {
    if (action->text() == "VB Marquill") action->trigger();
  }
  UtilityDialog* dialog = studio.MainDialog();
  if (dialog == nullptr) return false;
  static_cast<QRadioButton*>(dialog->WidgetOf("optWhere", 0))->click();
  platform.Queue({shell::Answer::Kind::kYes, "", "measure"});
  start = std::chrono::steady_clock::now();
  static_cast<QPushButton*>(dialog->WidgetOf("cmdIndent"))->click();
  QApplication::processEvents();
  std::printf("indent whole project, %d code windows refreshed: %.2f s\n", opened,
              SecondsSince(start));
  return true;
}

}  // namespace marquill::studio

// marquill-studio [PROJECT.vbp]: the desktop host of the add-in.
#include <QApplication>
#include <filesystem>

#include "host/paths/paths.h"
#include "qt_platform.h"
#include "shell/session.h"
#include "shell/settings/settings_store.h"
#include "shell/time_log.h"
#include "studio_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Marquill Studio");
  using namespace marquill;

  studio::QtPlatform platform;
  std::string settings_folder = marquill::host::SettingsFolder().string();
  if (settings_folder.empty() || settings_folder.back() != shell::kPathSeparator) {
    settings_folder += shell::kPathSeparator;
  }
  shell::IniSettingsStore settings(settings_folder);
  shell::FileTimeLog time_log;
  studio::StudioMainWindow window(
      studio::StudioServices{platform, settings, time_log, shell::DefaultAddinFolder()});
  platform.SetParent(&window);
  window.show();
  QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) window.OpenProject(arguments[1].toStdString());
  return QApplication::exec();
}

// marquill-studio [--screenshots FOLDER | --measure] [PROJECT.vbp]: the desktop host of the add-in.
//
// --screenshots takes the README's pictures; --measure times opening the project and indenting
// all of it with three code windows open, then quits (questions answered Yes).
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "host/paths/paths.h"
#include "measure.h"
#include "qt_platform.h"
#include "screenshots.h"
#include "shell/session.h"
#include "shell/settings/settings_store.h"
#include "shell/time_log.h"
#include "studio_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Marquill Studio");
  using namespace marquill;

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  QString screenshots;
  if (arguments.size() >= 2 && arguments[0] == "--screenshots") {
    screenshots = arguments[1];
    arguments = arguments.mid(2);
  }
  if (arguments.size() == 2 && arguments[0] == "--measure") {
    return studio::MeasureProject(arguments[1].toStdString()) ? 0 : 1;
  }
  if (arguments.size() > 1 || (!arguments.isEmpty() && arguments[0].startsWith("-"))) {
    std::fprintf(stderr,
                 "usage: marquill-studio [--screenshots FOLDER | --measure] [PROJECT.vbp]\n");
    return 2;
  }

  studio::QtPlatform platform;
  std::string settings_folder = host::SettingsFolder().string();
  if (settings_folder.empty() || settings_folder.back() != shell::kPathSeparator) {
    settings_folder += shell::kPathSeparator;
  }
  shell::IniSettingsStore settings(settings_folder);
  shell::FileTimeLog time_log;
  studio::StudioMainWindow window(
      studio::StudioServices{platform, settings, time_log, shell::DefaultAddinFolder()});
  platform.SetParent(&window);
  window.show();
  if (!arguments.isEmpty()) window.OpenProject(arguments[0].toStdString());
  if (!screenshots.isEmpty()) {
    QTimer::singleShot(0, &window, [&] {
      QStringList written = studio::TakeScreenshots(window, screenshots);
      for (const QString& file : written) std::printf("%s\n", qPrintable(file));
      window.close();
      QApplication::exit(written.isEmpty() ? 1 : 0);
    });
  }
  return QApplication::exec();
}

// The window's common dialog: remembers the last file name and colour, so that a cancelled
// dialog reports the previous choice, as the toolkit's dialog control does.
#pragma once

#include <string>

#include "shell/platform/platform_services.h"

namespace marquill::shell {

struct CommonDialog {
  std::string title;
  std::string filter;
  std::string file_name;
  host::Color color;

  // Shows the open-file dialog; file_name keeps its value when the user cancels.
  void ShowOpen(PlatformServices& platform) {
    if (auto chosen = platform.OpenFileDialog(FileDialog{title, filter})) file_name = *chosen;
  }
  // Shows the colour dialog; color keeps its value when the user cancels.
  void ShowColor(PlatformServices& platform) {
    if (auto chosen = platform.ColorDialog(color)) color = *chosen;
  }
};

}  // namespace marquill::shell

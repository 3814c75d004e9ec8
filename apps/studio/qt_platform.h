// Platform services of the studio: Qt's message, input, file, colour and folder dialogs, and the
// desktop's "open". Program start, the system folder and the environment are the console ones.
#pragma once

#include <QWidget>

#include "shell/platform/console_platform.h"

namespace marquill::studio {

class QtPlatform final : public shell::PlatformServices {
 public:
  // `parent` owns the dialogs; it may be changed later (the main window is made after this).
  explicit QtPlatform(QWidget* parent = nullptr) : parent_(parent), console_(false) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  shell::MsgBoxResult MsgBox(const shell::MessageBox& box) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override;
  std::optional<std::string> OpenFileDialog(const shell::FileDialog& dialog) override;
  std::optional<host::Color> ColorDialog(host::Color initial) override;
  std::optional<std::string> BrowseForFolder(std::string_view title) override;
  bool ShellOpen(std::string_view path) override;
  bool StartProgram(std::string_view command_line) override;
  std::string SystemFolder() override;
  std::string Environment(std::string_view name) override;

 private:
  QWidget* parent_;
  shell::ConsolePlatform console_;
};

// "Icon file (*.ico)|*.ico|All (*.*)|*.*" as Qt's filter: "Icon file (*.ico);;All (*.*)".
QString QtFilter(std::string_view filter);

}  // namespace marquill::studio

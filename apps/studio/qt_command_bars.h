// The add-in's command bars as real Qt menus and toolbars.
//
// A bar is either a menu of the menu bar ("Add-Ins") or a QToolBar of the main window. Buttons are
// QActions (faces from the compiled-in bitmaps), popups are submenus, the combo box is a QComboBox
// on the toolbar. Controls stay owned here after Delete(), answering HostError, as the interface
// asks; their widgets and actions are gone from the screen at once.
#pragma once

#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/command_bars/command_bars.h"

namespace marquill::studio {

class QtControls;

class QtCommandBars final : public shell::CommandBars {
 public:
  // `around_click` runs every Click (the studio flushes edits before and refreshes after).
  using ClickWrapper = std::function<void(const std::function<void()>&)>;
  QtCommandBars(QMainWindow& window, ClickWrapper around_click);
  ~QtCommandBars() override;

  // A menu of the menu bar that add-ins may extend, such as "Add-Ins".
  void AddMenu(QMenu* menu);

  shell::CommandBar& Item(std::string_view name) override;
  shell::CommandBar& Add(std::string_view name, int position) override;
  std::unique_ptr<shell::ClickHook> HookClick(shell::CommandBarControl& control,
                                              std::function<void()> on_click) override;

  // The toolbar called `name`, nullptr when there is none.
  QToolBar* Toolbar(std::string_view name) const;
  QMainWindow& Window() { return window_; }
  void RunClick(const std::function<void()>& click) { around_click_(click); }

  class Bar;

 private:
  QMainWindow& window_;
  ClickWrapper around_click_;
  std::vector<std::unique_ptr<Bar>> bars_;  // deleted ones included
};

}  // namespace marquill::studio

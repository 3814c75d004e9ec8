// The add-in's main window on screen: a modeless dialog with the tab strip's eight pages and a
// real widget for every control of the window model, bound both ways. A change of the model
// (a handler filling a list, a caption changing) shows in the widget at once through the
// control's observers; what the user does in a widget goes through the control's own setters,
// so the add-in's handlers run exactly as they do for scripts and the command line.
//
// Widgets are laid out from the control list, page by page, in design order: a label beside the
// field after it, runs of buttons and small fields side by side, lists and multi-line fields on
// rows of their own, and a frame ("Where", "Include...") around the control array after it.
#pragma once

#include <QDialog>
#include <QTabWidget>
#include <functional>
#include <map>
#include <string>

#include "shell/window/frm_utility.h"

namespace marquill::studio {

class UtilityDialog final : public QDialog {
 public:
  // `around_action` runs every user action (the studio flushes edits before and refreshes
  // after); `on_close` runs when the user closes the window.
  using ActionWrapper = std::function<void(const std::function<void()>&)>;
  UtilityDialog(shell::frmUtility& model, ActionWrapper around_action,
                std::function<void()> on_close, QWidget* parent = nullptr);

  shell::frmUtility& Model() { return model_; }
  QTabWidget& Tabs() { return *tabs_; }
  // The widget of control `name` (element `index` of an array); nullptr when there is none.
  QWidget* WidgetOf(std::string_view name, int index = -1) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  QWidget* BuildPage(int page);
  QWidget* MakeWidget(shell::Control& control);
  void Run(const std::function<void()>& action) { around_action_(action); }

  shell::frmUtility& model_;
  ActionWrapper around_action_;
  std::function<void()> on_close_;
  QTabWidget* tabs_ = nullptr;
  std::map<std::pair<std::string, int>, QWidget*> widgets_;
};

// The text a button shows for a caption in `font`: the Marlett arrows become arrow characters.
QString ButtonText(const std::string& caption, const std::string& font);

}  // namespace marquill::studio

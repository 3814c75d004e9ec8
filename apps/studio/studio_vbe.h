// The IDE root of the studio: the loaded project lives in the in-memory host, and the windows are
// real ones (code windows and designers in an MDI area, the Immediate window in a dock).
//
// A code window is a QPlainTextEdit. What the user types is written back into the module before
// each command runs (FlushEdits), and after the command every window whose module changed shows
// the new text (Refresh), so the module and the window never disagree while the add-in works.
// The active code pane's selection is the editor's own cursor.
#pragma once

#include <QMdiArea>
#include <QPlainTextEdit>
#include <memory>
#include <string>
#include <vector>

#include "host/code_model.h"
#include "host/memory/memory_host.h"

namespace marquill::studio {

class StudioWindow;

class StudioVbe final : public host::Vbe {
 public:
  // `immediate` is the Immediate window's text field; both widgets outlive this object.
  StudioVbe(QMdiArea& area, QPlainTextEdit& immediate);
  ~StudioVbe() override;

  host::Project* ActiveProject() override;
  host::CodePane* ActiveCodePane() override;
  host::Window* ActiveWindow() override;
  host::Windows& Windows() override;
  std::string ImmediateText() const override;
  void SetImmediateText(std::string_view text) override;

  // The host that holds the project (a fresh one drops every open window first).
  host::MemoryVbe& Memory() { return *memory_; }
  void ResetMemory();

  // Opens (or focuses) the code window of a component; nullptr when it has no code.
  QPlainTextEdit* ShowCode(host::Component& component);
  // Opens (or focuses) the designer window of a component with a designer; nullptr otherwise.
  QWidget* ShowDesigner(host::Component& component);
  // The editor of the open code window of `component`, nullptr when none is open.
  QPlainTextEdit* CodeEditor(host::Component& component) const;

  // Writes the user's edits of every code window into its module.
  void FlushEdits();
  // Shows the module text again in every code window whose module changed, and drops windows
  // whose component is gone.
  void Refresh();
  // Closes every window (before the project goes away).
  void CloseAll();

  // Called by the windows.
  void Closed(StudioWindow* window);
  void Activated(StudioWindow* window);

 private:
  StudioWindow* Find(host::Component& component, host::WindowType type) const;
  StudioWindow& Open(std::unique_ptr<StudioWindow> window);

  QMdiArea& area_;
  QPlainTextEdit& immediate_;
  std::unique_ptr<host::MemoryVbe> memory_;
  std::vector<std::unique_ptr<StudioWindow>> owned_;
  std::vector<StudioWindow*> windows_;  // open, in opening order; the Immediate window first
  StudioWindow* active_ = nullptr;
  StudioWindow* active_code_ = nullptr;
  std::unique_ptr<host::Windows> window_list_;
};

}  // namespace marquill::studio

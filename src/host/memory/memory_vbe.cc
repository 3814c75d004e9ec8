#include <algorithm>
#include <utility>

#include "host/memory/list_collection.h"
#include "host/memory/memory_host.h"

namespace marquill::host {
namespace {

// "Form1 (Form)", as the IDE captions a designer window.
std::string DesignerCaption(Component& component) {
  std::string_view kind;
  switch (component.Type()) {
    case ComponentType::kVBForm:
      kind = "Form";
      break;
    case ComponentType::kMDIForm:
      kind = "MDIForm";
      break;
    case ComponentType::kUserControl:
      kind = "UserControl";
      break;
    case ComponentType::kPropPage:
      kind = "PropertyPage";
      break;
    case ComponentType::kDocObject:
      kind = "UserDocument";
      break;
    default:
      kind = "Designer";
      break;
  }
  return component.Name() + " (" + std::string(kind) + ")";
}

// The IDE puts the project's name in front of a code or designer window's caption.
std::string WithProject(Component& component, std::string caption) {
  if (auto* memory = dynamic_cast<MemoryComponent*>(&component)) {
    return memory->OwnerProject().Name() + " - " + caption;
  }
  return caption;
}

}  // namespace

struct MemoryVbe::Impl {
  class PaneObject;
  class WindowObject;

  WindowObject& Open(std::unique_ptr<WindowObject> window);
  void Focus(WindowObject& window);
  void Close(WindowObject& window);
  WindowObject* Find(WindowType type, const void* shown) const;

  std::vector<std::unique_ptr<MemoryProject>> projects;
  MemoryProject* active_project = nullptr;
  std::vector<std::unique_ptr<WindowObject>> owned_windows;  // closed ones included
  std::vector<WindowObject*> windows;                        // open, in opening order
  WindowObject* active_window = nullptr;
  PaneObject* active_pane = nullptr;
  std::string immediate_text;
  ListCollection<Window, WindowObject> window_list{
      windows, [](const Window& window) { return window.Caption(); }, "window"};
};

class MemoryVbe::Impl::PaneObject final : public CodePane {
 public:
  explicit PaneObject(host::CodeModule& module) : module_(module) {}
  host::CodeModule& CodeModule() override { return module_; }
  Selection GetSelection() const override { return selection_; }
  void SetSelection(const Selection& selection) override {
    Check(selection);
    selection_ = selection;
  }
  static void Check(const Selection& selection) {
    if (selection.start_line < 1 || selection.start_column < 1 ||
        selection.end_line < selection.start_line || selection.end_column < 1) {
      throw HostError("not a selection: lines " + std::to_string(selection.start_line) + " to " +
                      std::to_string(selection.end_line));
    }
  }

 private:
  host::CodeModule& module_;
  Selection selection_{1, 1, 1, 1};
};

class MemoryVbe::Impl::WindowObject final : public Window {
 public:
  WindowObject(Impl& vbe, std::string caption, WindowType type, const void* shown)
      : vbe_(vbe), caption_(std::move(caption)), type_(type), shown_(shown) {}

  std::string Caption() const override { return caption_; }
  WindowType Type() const override { return type_; }
  bool Visible() const override { return open_; }
  void Close() override {
    CheckOpen();
    vbe_.Close(*this);
  }
  void SetFocus() override {
    CheckOpen();
    vbe_.Focus(*this);
  }

  const void* Shown() const { return shown_; }
  PaneObject* Pane() { return pane_.get(); }
  void SetPane(std::unique_ptr<PaneObject> pane) { pane_ = std::move(pane); }
  bool IsOpen() const { return open_; }
  void MarkClosed() { open_ = false; }

 private:
  void CheckOpen() const {
    if (!open_) throw HostError("the window " + caption_ + " is closed");
  }

  Impl& vbe_;
  std::string caption_;
  WindowType type_;
  const void* shown_;  // the module or component the window shows
  std::unique_ptr<PaneObject> pane_;
  bool open_ = true;
};

MemoryVbe::Impl::WindowObject& MemoryVbe::Impl::Open(std::unique_ptr<WindowObject> window) {
  owned_windows.push_back(std::move(window));
  windows.push_back(owned_windows.back().get());
  return *owned_windows.back();
}

void MemoryVbe::Impl::Focus(WindowObject& window) {
  active_window = &window;
  if (window.Pane() != nullptr) active_pane = window.Pane();
}

void MemoryVbe::Impl::Close(WindowObject& window) {
  window.MarkClosed();
  std::erase(windows, &window);
  if (active_window == &window) active_window = nullptr;
  if (window.Pane() != nullptr && active_pane == window.Pane()) active_pane = nullptr;
}

MemoryVbe::Impl::WindowObject* MemoryVbe::Impl::Find(WindowType type, const void* shown) const {
  for (WindowObject* window : windows) {
    if (window->Type() == type && window->Shown() == shown) return window;
  }
  return nullptr;
}

MemoryVbe::MemoryVbe() : impl_(std::make_unique<Impl>()) {}

MemoryVbe::~MemoryVbe() = default;

Project* MemoryVbe::ActiveProject() { return impl_->active_project; }

CodePane* MemoryVbe::ActiveCodePane() { return impl_->active_pane; }

Window* MemoryVbe::ActiveWindow() { return impl_->active_window; }

host::Windows& MemoryVbe::Windows() { return impl_->window_list; }

std::string MemoryVbe::ImmediateText() const {
  for (const Impl::WindowObject* window : impl_->windows) {
    if (window->Type() == WindowType::kImmediate) return impl_->immediate_text;
  }
  throw HostError("there is no Immediate window");
}

void MemoryVbe::SetImmediateText(std::string_view text) {
  (void)ImmediateText();
  impl_->immediate_text = std::string(text);
}

MemoryProject& MemoryVbe::AddProject(std::unique_ptr<MemoryProject> project) {
  impl_->projects.push_back(std::move(project));
  if (impl_->active_project == nullptr) impl_->active_project = impl_->projects.back().get();
  return *impl_->projects.back();
}

void MemoryVbe::SetActiveProject(MemoryProject* project) { impl_->active_project = project; }

CodePane& MemoryVbe::ShowCode(CodeModule& module, Selection selection) {
  Impl::PaneObject::Check(selection);
  Impl::WindowObject* window = impl_->Find(WindowType::kCodeWindow, &module);
  if (window == nullptr) {
    window = &impl_->Open(std::make_unique<Impl::WindowObject>(
        *impl_, WithProject(module.Parent(), module.Parent().Name() + " (Code)"),
        WindowType::kCodeWindow, &module));
    window->SetPane(std::make_unique<Impl::PaneObject>(module));
  }
  window->Pane()->SetSelection(selection);
  impl_->Focus(*window);
  return *window->Pane();
}

Window& MemoryVbe::ShowDesigner(Component& component) {
  Impl::WindowObject* window = impl_->Find(WindowType::kDesigner, &component);
  if (window == nullptr) {
    window = &impl_->Open(std::make_unique<Impl::WindowObject>(
        *impl_, WithProject(component, DesignerCaption(component)), WindowType::kDesigner,
        &component));
  }
  impl_->Focus(*window);
  return *window;
}

Window& MemoryVbe::AddToolWindow(std::string caption, WindowType type) {
  if (type == WindowType::kCodeWindow || type == WindowType::kDesigner) {
    throw HostError("a tool window cannot be a code or designer window");
  }
  return impl_->Open(
      std::make_unique<Impl::WindowObject>(*impl_, std::move(caption), type, nullptr));
}

void MemoryVbe::ClearActiveCodePane() { impl_->active_pane = nullptr; }

}  // namespace marquill::host

#include "studio_vbe.h"

#include <QDockWidget>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <algorithm>

#include "designer_view.h"
#include "host/memory/list_collection.h"

namespace marquill::studio {
namespace {

using host::HostError;
using host::WindowType;

// Module text is kept byte for byte: the files are ANSI, and Latin-1 maps every byte to one
// character and back.
QString ToEditor(const std::string& text) {
  QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

std::vector<std::string> EditorLines(const QPlainTextEdit& editor) {
  std::vector<std::string> lines;
  const QTextDocument* document = editor.document();
  if (document->isEmpty()) return lines;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    lines.push_back(block.text().toLatin1().toStdString());
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to; ++i) {
    if (i > from) text += "\r\n";
    text += lines[i];
  }
  return text;
}

std::uint64_t RevisionOf(host::CodeModule& module) {
  auto* memory = dynamic_cast<host::MemoryCodeModule*>(&module);
  return memory != nullptr ? memory->Revision() : 0;
}

std::string Caption(host::Component& component, WindowType type) {
  std::string project;
  if (auto* memory = dynamic_cast<host::MemoryComponent*>(&component)) {
    project = memory->OwnerProject().Name() + " - ";
  }
  if (type == WindowType::kCodeWindow) return project + component.Name() + " (Code)";
  std::string kind = "Form";
  switch (component.Type()) {
    case host::ComponentType::kMDIForm:
      kind = "MDIForm";
      break;
    case host::ComponentType::kUserControl:
      kind = "UserControl";
      break;
    case host::ComponentType::kPropPage:
      kind = "PropertyPage";
      break;
    case host::ComponentType::kDocObject:
      kind = "UserDocument";
      break;
    default:
      break;
  }
  return project + component.Name() + " (" + kind + ")";
}

// The position of a (line, column) pair in the editor, clamped to the text.
int PositionOf(const QPlainTextEdit& editor, int line, int column) {
  const QTextDocument* document = editor.document();
  int block_number = std::clamp(line - 1, 0, document->blockCount() - 1);
  QTextBlock block = document->findBlockByNumber(block_number);
  return block.position() + std::clamp(column - 1, 0, block.length() - 1);
}

}  // namespace

// A window of the studio as the add-in sees it.
class StudioWindow final : public host::Window, public host::CodePane {
 public:
  StudioWindow(StudioVbe& vbe, std::string caption, WindowType type, host::Component* component)
      : vbe_(vbe), caption_(std::move(caption)), type_(type), component_(component) {}
  ~StudioWindow() override { QObject::disconnect(destroyed_); }

  std::string Caption() const override { return caption_; }
  WindowType Type() const override { return type_; }
  bool Visible() const override { return open_ && (sub_ == nullptr || sub_->isVisible()); }
  void Close() override {
    CheckOpen();
    if (sub_ == nullptr) {
      if (dock_ != nullptr) dock_->hide();
      return;
    }
    QMdiSubWindow* sub = sub_;
    MarkClosed();
    sub->close();
  }
  void SetFocus() override {
    CheckOpen();
    if (sub_ != nullptr) {
      sub_->mdiArea()->setActiveSubWindow(sub_);
      if (editor_ != nullptr) editor_->setFocus();
    } else if (dock_ != nullptr) {
      dock_->show();
      dock_->raise();
    }
    vbe_.Activated(this);
  }

  // The code pane of a code window.
  host::CodeModule& CodeModule() override { return *component_->CodeModule(); }
  host::Selection GetSelection() const override {
    QTextCursor cursor = editor_->textCursor();
    auto [start_line, start_column] = LineColumn(cursor.selectionStart());
    auto [end_line, end_column] = LineColumn(cursor.selectionEnd());
    return {start_line, start_column, end_line, end_column};
  }
  void SetSelection(const host::Selection& selection) override {
    if (selection.start_line < 1 || selection.start_column < 1 ||
        selection.end_line < selection.start_line || selection.end_column < 1) {
      throw HostError("not a selection: lines " + std::to_string(selection.start_line) + " to " +
                      std::to_string(selection.end_line));
    }
    QTextCursor cursor(editor_->document());
    cursor.setPosition(PositionOf(*editor_, selection.start_line, selection.start_column));
    cursor.setPosition(PositionOf(*editor_, selection.end_line, selection.end_column),
                       QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
  }

  void Attach(QMdiSubWindow* sub) {
    sub_ = sub;
    destroyed_ = QObject::connect(sub, &QObject::destroyed, [this] {
      if (open_) MarkClosed();
    });
  }
  void AttachEditor(QPlainTextEdit* editor) {
    editor_ = editor;
    QObject::connect(editor, &QPlainTextEdit::textChanged, [this] {
      if (!refreshing_) dirty_ = true;
    });
    ShowModule();
  }
  void AttachDock(QDockWidget* dock) { dock_ = dock; }

  void ShowModule() {
    host::CodeModule& module = CodeModule();
    host::Selection selection{1, 1, 1, 1};
    bool had_text = !editor_->document()->isEmpty();
    if (had_text) selection = GetSelection();
    refreshing_ = true;
    editor_->setPlainText(ToEditor(module.Lines(1, module.CountOfLines())));
    if (had_text) SetSelection(selection);
    refreshing_ = false;
    dirty_ = false;
    shown_revision_ = RevisionOf(module);
  }
  void Flush() {
    if (!dirty_ || !open_) return;
    host::CodeModule& module = CodeModule();
    std::vector<std::string> lines = EditorLines(*editor_);
    auto count = static_cast<std::size_t>(module.CountOfLines());
    // Only the changed middle is rewritten, so untouched lines keep their attributes and bytes.
    std::size_t prefix = 0;
    while (prefix < count && prefix < lines.size() &&
           module.Line(static_cast<int>(prefix) + 1) == lines[prefix]) {
      ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < count - prefix && suffix < lines.size() - prefix &&
           module.Line(static_cast<int>(count - suffix)) == lines[lines.size() - 1 - suffix]) {
      ++suffix;
    }
    int removed = static_cast<int>(count - prefix - suffix);
    if (removed > 0) module.DeleteLines(static_cast<int>(prefix) + 1, removed);
    if (lines.size() - suffix > prefix) {
      module.InsertLines(static_cast<int>(prefix) + 1, Joined(lines, prefix, lines.size() - suffix));
    }
    dirty_ = false;
    shown_revision_ = RevisionOf(module);
  }
  void Refresh() {
    if (!open_) return;
    if (editor_ != nullptr && RevisionOf(CodeModule()) != shown_revision_) ShowModule();
    if (type_ == WindowType::kDesigner && sub_ != nullptr) sub_->widget()->update();
  }

  host::Component* Shown() const { return component_; }
  QPlainTextEdit* Editor() const { return editor_; }
  QMdiSubWindow* Sub() const { return sub_; }
  bool IsOpen() const { return open_; }

 private:
  std::pair<int, int> LineColumn(int position) const {
    QTextBlock block = editor_->document()->findBlock(position);
    return {block.blockNumber() + 1, position - block.position() + 1};
  }
  void CheckOpen() const {
    if (!open_) throw HostError("the window " + caption_ + " is closed");
  }
  void MarkClosed() {
    open_ = false;
    QObject::disconnect(destroyed_);
    vbe_.Closed(this);
  }

  StudioVbe& vbe_;
  std::string caption_;
  WindowType type_;
  host::Component* component_;
  QMdiSubWindow* sub_ = nullptr;
  QPlainTextEdit* editor_ = nullptr;
  QDockWidget* dock_ = nullptr;
  QMetaObject::Connection destroyed_;
  std::uint64_t shown_revision_ = 0;
  bool dirty_ = false;
  bool refreshing_ = false;
  bool open_ = true;
};

StudioVbe::StudioVbe(QMdiArea& area, QPlainTextEdit& immediate)
    : area_(area), immediate_(immediate), memory_(std::make_unique<host::MemoryVbe>()) {
  window_list_ = std::make_unique<host::ListCollection<host::Window, StudioWindow>>(
      windows_, [](const host::Window& window) { return window.Caption(); }, "window");
  auto& immediate_window = Open(
      std::make_unique<StudioWindow>(*this, "Immediate", WindowType::kImmediate, nullptr));
  for (QWidget* up = immediate.parentWidget(); up != nullptr; up = up->parentWidget()) {
    if (auto* dock = qobject_cast<QDockWidget*>(up)) {
      immediate_window.AttachDock(dock);
      break;
    }
  }
  QObject::connect(&area_, &QMdiArea::subWindowActivated, &area_, [this](QMdiSubWindow* sub) {
    for (StudioWindow* window : windows_) {
      if (sub != nullptr && window->Sub() == sub) Activated(window);
    }
  });
}

StudioVbe::~StudioVbe() {
  QObject::disconnect(&area_, &QMdiArea::subWindowActivated, &area_, nullptr);
  CloseAll();
}

host::Project* StudioVbe::ActiveProject() { return memory_->ActiveProject(); }

host::CodePane* StudioVbe::ActiveCodePane() { return active_code_; }

host::Window* StudioVbe::ActiveWindow() { return active_; }

host::Windows& StudioVbe::Windows() { return *window_list_; }

std::string StudioVbe::ImmediateText() const {
  return immediate_.toPlainText().toStdString();
}

void StudioVbe::SetImmediateText(std::string_view text) {
  immediate_.setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void StudioVbe::ResetMemory() {
  CloseAll();
  memory_ = std::make_unique<host::MemoryVbe>();
}

StudioWindow& StudioVbe::Open(std::unique_ptr<StudioWindow> window) {
  owned_.push_back(std::move(window));
  windows_.push_back(owned_.back().get());
  return *owned_.back();
}

StudioWindow* StudioVbe::Find(host::Component& component, WindowType type) const {
  for (StudioWindow* window : windows_) {
    if (window->Shown() == &component && window->Type() == type) return window;
  }
  return nullptr;
}

QPlainTextEdit* StudioVbe::ShowCode(host::Component& component) {
  if (component.CodeModule() == nullptr) return nullptr;
  StudioWindow* window = Find(component, WindowType::kCodeWindow);
  if (window == nullptr) {
    std::string caption = Caption(component, WindowType::kCodeWindow);
    window = &Open(
        std::make_unique<StudioWindow>(*this, caption, WindowType::kCodeWindow, &component));
    auto* editor = new QPlainTextEdit();
    editor->setObjectName("codeEditor");
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    editor->setFont(font);
    QMdiSubWindow* sub = area_.addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(QString::fromStdString(caption));
    sub->resize(640, 420);
    window->Attach(sub);
    window->AttachEditor(editor);
    sub->show();
  }
  window->SetFocus();
  return window->Editor();
}

QWidget* StudioVbe::ShowDesigner(host::Component& component) {
  if (component.Designer() == nullptr) return nullptr;
  StudioWindow* window = Find(component, WindowType::kDesigner);
  if (window == nullptr) {
    std::string caption = Caption(component, WindowType::kDesigner);
    window =
        &Open(std::make_unique<StudioWindow>(*this, caption, WindowType::kDesigner, &component));
    auto* view = new DesignerView(component);
    view->setObjectName("designerView");
    QMdiSubWindow* sub = area_.addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(QString::fromStdString(caption));
    window->Attach(sub);
    sub->show();
  }
  window->SetFocus();
  return window->Sub()->widget();
}

QPlainTextEdit* StudioVbe::CodeEditor(host::Component& component) const {
  StudioWindow* window = Find(component, WindowType::kCodeWindow);
  return window != nullptr ? window->Editor() : nullptr;
}

void StudioVbe::FlushEdits() {
  for (StudioWindow* window : windows_) {
    if (window->Editor() != nullptr) window->Flush();
  }
}

void StudioVbe::Refresh() {
  for (StudioWindow* window : windows_) window->Refresh();
}

void StudioVbe::CloseAll() {
  std::vector<StudioWindow*> open = windows_;
  for (StudioWindow* window : open) {
    if (window->Sub() != nullptr) window->Close();
  }
}

void StudioVbe::Closed(StudioWindow* window) {
  std::erase(windows_, window);
  if (active_ == window) active_ = nullptr;
  if (active_code_ == window) active_code_ = nullptr;
}

void StudioVbe::Activated(StudioWindow* window) {
  if (!window->IsOpen()) return;
  active_ = window;
  if (window->Editor() != nullptr) active_code_ = window;
}

}  // namespace marquill::studio

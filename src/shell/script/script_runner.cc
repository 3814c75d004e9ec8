#include "shell/script/script_runner.h"

#include <algorithm>
#include <stdexcept>

namespace marquill::shell {

namespace {

constexpr int kMaxKeyCode = 255;

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel:
      return "a label";
    case ControlKind::kFrame:
      return "a frame";
    case ControlKind::kTextBox:
      return "a text box";
    case ControlKind::kCheckBox:
      return "a check box";
    case ControlKind::kOptionButton:
      return "an option button";
    case ControlKind::kCommandButton:
      return "a button";
    case ControlKind::kComboBox:
      return "a combo box";
    case ControlKind::kListBox:
      return "a list box";
    case ControlKind::kPictureBox:
      return "a picture box";
    case ControlKind::kTabStrip:
      return "the tab strip";
  }
  return "a control";
}

class Runner {
 public:
  Runner(ScriptTarget target, const std::string& file) : target_(target), file_(file) {}

  void Run(const std::vector<ScriptStep>& steps) {
    CheckNames(steps);
    for (const ScriptStep& step : steps) {
      step_ = &step;
      RunGuarded(step);
    }
    CheckAnswersUsed();
  }

 private:
  // Names no step can change (controls and their kinds, control array indexes, menu and toolbar
  // captions, tab numbers, key codes, modules) are checked before the first step runs: a
  // misspelt one stops the script before anything is shown, opened or written. List entries,
  // enabled states and shortcuts depend on earlier steps and are checked when their step runs.
  void CheckNames(const std::vector<ScriptStep>& steps) {
    if (target_.addin.MainWindow() == nullptr) return;  // checked step by step, once it opens
    for (const ScriptStep& step : steps) {
      step_ = &step;
      try {
        CheckStep(step);
      } catch (const std::logic_error& error) {  // a tab number out of range
        Fail(error.what());
      }
    }
    step_ = nullptr;
  }

  void CheckStep(const ScriptStep& step) const {
    switch (step.verb) {
      case StepVerb::kSet:
        As<TextBox>(ControlKind::kTextBox, "set");
        return;
      case StepVerb::kCheck:
        As<CheckBox>(ControlKind::kCheckBox, "check");
        return;
      case StepVerb::kSelect:
        As<OptionButton>(ControlKind::kOptionButton, "select");
        return;
      case StepVerb::kClick:
        Clickable(ControlNamed());
        return;
      case StepVerb::kChoose:
        ListNamed("choose");
        return;
      case StepVerb::kTick:
      case StepVerb::kUntick:
        TickList(step.verb == StepVerb::kTick);
        return;
      case StepVerb::kTab:
        Window().SSTab1.TabCaption(std::stoi(step.args[0].text));
        return;
      case StepVerb::kKey:
        KeyCode();
        return;
      case StepVerb::kPane:
        PaneModule();
        return;
      case StepVerb::kMenu:
        BarControl(kAddInsMenuName, "the Marquill menu");
        return;
      case StepVerb::kToolbar:
        BarControl(kToolbarName, "the toolbar");
        return;
      case StepVerb::kAnswer:
      case StepVerb::kShortcut:
        return;
    }
  }

  [[noreturn]] void Fail(const std::string& message) const {
    throw ScriptError(file_, step_->line, message);
  }

  void RunGuarded(const ScriptStep& step) {
    try {
      RunStep(step);
    } catch (const ScriptError&) {
      throw;
    } catch (const AnswerMismatch& error) {
      Fail(error.what());
    } catch (const std::logic_error& error) {  // a control refused a value or an index
      Fail(error.what());
    } catch (const std::exception& error) {
      throw ScriptError(file_, step.line, std::string("the command failed: ") + error.what(),
                        /*command_failed=*/true);
    }
  }

  void RunStep(const ScriptStep& step) {
    switch (step.verb) {
      case StepVerb::kSet:
        return Set(As<TextBox>(ControlKind::kTextBox, "set"), step.args[1].text);
      case StepVerb::kCheck:
        return As<CheckBox>(ControlKind::kCheckBox, "check").SetValue(std::stoi(step.args[1].text));
      case StepVerb::kSelect:
        return Enabled(As<OptionButton>(ControlKind::kOptionButton, "select")).SetValue(true);
      case StepVerb::kClick:
        return Click(ControlNamed());
      case StepVerb::kChoose:
        return Choose();
      case StepVerb::kTick:
      case StepVerb::kUntick:
        return Tick(step.verb == StepVerb::kTick);
      case StepVerb::kTab:
        return Window().SSTab1.SetTab(std::stoi(step.args[0].text));
      case StepVerb::kKey:
        return Window().KeyDown(KeyCode(), 0);
      case StepVerb::kAnswer:
        return QueueAnswer(step.args[0]);
      case StepVerb::kPane:
        return Pane();
      case StepVerb::kMenu:
        return ClickBarControl(kAddInsMenuName, "the Marquill menu");
      case StepVerb::kToolbar:
        return ClickBarControl(kToolbarName, "the toolbar");
      case StepVerb::kShortcut:
        return ChooseShortcut(step.args[0].text);
    }
  }

  frmUtility& Window() const {
    frmUtility* window = target_.addin.MainWindow();
    if (window == nullptr) Fail("the main window is not open");
    return *window;
  }

  Control& ControlNamed() const {
    ControlRef ref;
    ParseControlRef(step_->args[0].text, ref);  // checked when the script was parsed
    frmUtility& window = Window();
    if (Control* control = window.FindControl(ref.name, ref.index)) return *control;
    bool array = window.IsControlArray(ref.name);
    if (array && ref.index < 0) {
      Fail(ref.name + " is a control array: name an element, such as " + ref.name + "(0)");
    }
    if (array) Fail(ref.name + " has no element " + std::to_string(ref.index));
    if (ref.index >= 0 && window.FindControl(ref.name) != nullptr) {
      Fail(ref.name + " is not a control array");
    }
    Fail("the main window has no control '" + ref.name + "'");
  }

  template <class T>
  T& As(ControlKind kind, const char* verb) const {
    Control& control = ControlNamed();
    if (control.Kind() != kind) {
      Fail(control.DisplayName() + " is " + KindName(control.Kind()) + "; '" + verb + "' needs " +
           KindName(kind));
    }
    return static_cast<T&>(control);
  }

  template <class T>
  T& Enabled(T& control) const {
    if (!control.Enabled()) Fail(control.DisplayName() + " is disabled");
    return control;
  }

  void Set(TextBox& box, const std::string& text) {
    Enabled(box).SetText(text);
    // Typing into a field and moving on: the field loses the focus.
    box.LoseFocus();
  }

  // A control 'click' can press; fails on any other kind.
  Control& Clickable(Control& control) const {
    switch (control.Kind()) {
      case ControlKind::kCommandButton:
      case ControlKind::kPictureBox:
      case ControlKind::kOptionButton:
      case ControlKind::kCheckBox:
        return control;
      default:
        Fail(control.DisplayName() + " is " + KindName(control.Kind()) +
             "; 'click' needs a button, a picture box, an option button or a check box");
    }
  }

  // Key codes run from 0 to 255, as the window's KeyDown receives them.
  int KeyCode() const {
    const int code = std::stoi(step_->args[0].text);
    if (code > kMaxKeyCode) {
      Fail("a key code runs from 0 to " + std::to_string(kMaxKeyCode) + ", not " +
           step_->args[0].text);
    }
    return code;
  }

  void Click(Control& control) {
    Enabled(Clickable(control));
    switch (control.Kind()) {
      case ControlKind::kCommandButton:
        static_cast<CommandButton&>(control).Click();
        return;
      case ControlKind::kPictureBox:
        static_cast<PictureBox&>(control).Click();
        return;
      case ControlKind::kOptionButton:
        static_cast<OptionButton&>(control).Click();
        return;
      case ControlKind::kCheckBox: {
        auto& box = static_cast<CheckBox&>(control);
        box.SetValue(box.Value() == 1 ? 0 : 1);
        return;
      }
      default:
        return;
    }
  }

  ListControl& ListNamed(const char* verb) const {
    Control& control = ControlNamed();
    if (control.Kind() != ControlKind::kComboBox && control.Kind() != ControlKind::kListBox) {
      Fail(control.DisplayName() + " is " + KindName(control.Kind()) + "; '" + verb +
           "' needs a combo box or a list box");
    }
    return static_cast<ListControl&>(control);
  }

  ListControl& List(const char* verb) const { return Enabled(ListNamed(verb)); }

  ListBox& TickList(bool tick) const {
    ListControl& list = ListNamed(tick ? "tick" : "untick");
    if (list.Kind() != ControlKind::kListBox || !static_cast<ListBox&>(list).CheckBoxes()) {
      Fail(list.DisplayName() + " has no check boxes; use 'choose'");
    }
    return static_cast<ListBox&>(list);
  }

  int Entry(const ListControl& list) const {
    EntryRef entry = ParseEntryRef(step_->args[1]);
    if (entry.position >= 0) {
      if (entry.position >= list.ListCount()) {
        Fail(list.DisplayName() + " has no entry #" + std::to_string(entry.position) + " (it has " +
             std::to_string(list.ListCount()) + ")");
      }
      return entry.position;
    }
    int found = list.Find(entry.text);
    if (found < 0) Fail(list.DisplayName() + " has no entry '" + entry.text + "'");
    return found;
  }

  void Choose() {
    ListControl& list = List("choose");
    list.Choose(Entry(list));
  }

  void Tick(bool tick) {
    ListBox& list = Enabled(TickList(tick));
    list.SetSelected(Entry(list), tick);
  }

  void QueueAnswer(const ScriptToken& token) {
    Answer answer;
    answer.origin = file_ + ":" + std::to_string(step_->line);
    answer.text = token.text;
    if (!token.quoted && token.text == "yes") {
      answer.kind = Answer::Kind::kYes;
    } else if (!token.quoted && token.text == "no") {
      answer.kind = Answer::Kind::kNo;
    } else if (!token.quoted && token.text == "cancel") {
      answer.kind = Answer::Kind::kCancel;
    }
    target_.platform.Queue(std::move(answer));
    answer_lines_.push_back(step_->line);
  }

  void CheckAnswersUsed() {
    std::size_t pending = target_.platform.PendingAnswers();
    if (pending == 0 || answer_lines_.size() < pending) return;
    int line = answer_lines_[answer_lines_.size() - pending];
    throw ScriptError(file_, line, "no question came for this answer");
  }

  void Pane() {
    const std::vector<ScriptToken>& args = step_->args;
    if (IsPaneNone()) {
      target_.vbe.ClearActiveCodePane();
      return;
    }
    host::CodeModule* module = PaneModule();
    host::Selection selection{1, 1, 1, 1};
    if (args.size() == 3) {
      ParsePanePosition(args[1].text, selection.start_line, selection.start_column);
      ParsePanePosition(args[2].text, selection.end_line, selection.end_column);
      // An empty module still has the line the cursor stands on.
      const int last = std::max(module->CountOfLines(), 1);
      if (selection.end_line > last) {
        Fail(args[0].text + " has " + std::to_string(last) + " line" + (last == 1 ? "" : "s") +
             "; the selection cannot reach line " + std::to_string(selection.end_line));
      }
    }
    target_.vbe.ShowCode(*module, selection);
  }

  bool IsPaneNone() const { return !step_->args[0].quoted && step_->args[0].text == "none"; }

  // The code module a pane step names; nullptr for `pane none`.
  host::CodeModule* PaneModule() const {
    if (IsPaneNone()) return nullptr;
    const std::string& name = step_->args[0].text;
    host::Project* project = target_.vbe.ActiveProject();
    if (project == nullptr) Fail("there is no active project");
    host::Component* component = nullptr;
    try {
      component = &project->Components().Item(name);
    } catch (const host::HostError&) {
      Fail("the project has no component '" + name + "'");
    }
    host::CodeModule* module = component->CodeModule();
    if (module == nullptr) Fail(name + " has no code");
    return module;
  }

  RecordingControl& BarControl(std::string_view bar, const char* where) const {
    const std::string& caption = step_->args[0].text;
    RecordingControl* control = target_.bars.FindControl(bar, caption);
    if (control == nullptr) Fail(std::string(where) + " has no item '" + caption + "'");
    return *control;
  }

  void ClickBarControl(std::string_view bar, const char* where) {
    target_.bars.Click(BarControl(bar, where));
  }

  void ChooseShortcut(const std::string& name) {
    CommandBarControl* box = target_.addin.Shared().shortcut_box;
    if (box == nullptr) Fail("the toolbar has no Shortcuts box");
    for (int entry = 1; entry <= box->ListCount(); ++entry) {
      if (box->List(entry) == name) {
        box->SetListIndex(entry);
        target_.bars.Click(*box);
        return;
      }
    }
    Fail("the Shortcuts box has no entry '" + name + "'");
  }

  ScriptTarget target_;
  const std::string& file_;
  const ScriptStep* step_ = nullptr;
  std::vector<int> answer_lines_;
};

}  // namespace

void RunScript(const std::vector<ScriptStep>& steps, ScriptTarget target, const std::string& file) {
  Runner(target, file).Run(steps);
}

}  // namespace marquill::shell

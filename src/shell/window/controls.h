// The plain control objects of the main window.
//
// Each control holds the state a window toolkit would (text, value, entries, ticks, enabled) and
// raises the toolkit's events the way the add-in expects them: assigning a different text fires
// Change, assigning a check box value fires Click, choosing a list entry fires Click. Handlers
// are attached by the subsystem owning a tab; a front end subscribes as an observer to mirror
// every change of state and writes the user's edits back through the same setters.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/code_model.h"

namespace marquill::shell {

// What changed on a control, so an observer knows which widget property to refresh.
enum class ControlState {
  kCaption,
  kEnabled,
  kText,
  kValue,
  kEntries,
  kListIndex,
  kTicks,
  kPicture,
  kBackColor,
  kTab,
};

enum class ControlKind {
  kLabel,
  kFrame,
  kTextBox,
  kCheckBox,
  kOptionButton,
  kCommandButton,
  kComboBox,
  kListBox,
  kPictureBox,
  kTabStrip,
};

class Control {
 public:
  using Observer = std::function<void(Control&, ControlState)>;

  // `index` is the element's index in a control array, -1 for a lone control. `page` is the page
  // of the tab strip the control sits on, -1 for the window itself.
  Control(std::string name, int index, int page, std::string caption);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual ControlKind Kind() const = 0;

  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  int Page() const { return page_; }
  // "cmdErrHandler(2)" for an array element, "cmdIndent" otherwise.
  std::string DisplayName() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Design-time extras a front end draws; no behaviour hangs on them.
  const std::string& ToolTip() const { return tool_tip_; }
  void SetToolTip(std::string text) { tool_tip_ = std::move(text); }
  const std::string& FontName() const { return font_name_; }
  void SetFontName(std::string font) { font_name_ = std::move(font); }

  // Returns a handle for Unsubscribe.
  int Subscribe(Observer observer);
  void Unsubscribe(int handle);

 protected:
  void Notify(ControlState state);

 private:
  std::string name_;
  int index_;
  int page_;
  std::string caption_;
  bool enabled_ = true;
  std::string tool_tip_;
  std::string font_name_;
  std::map<int, Observer> observers_;
  int next_handle_ = 1;
};

// A caption standing beside a field; also used for the frames that group fields.
class Label : public Control {
 public:
  Label(std::string name, int page, std::string caption, bool frame = false);
  ControlKind Kind() const override { return frame_ ? ControlKind::kFrame : ControlKind::kLabel; }

 private:
  bool frame_;
};

// Design-time styles of a text box, combined with |.
enum TextStyle : unsigned {
  kSingleLine = 0,
  kMultiLine = 1,
  kLocked = 2,      // read-only for the user; the add-in still writes it
  kFixedPitch = 4,  // drawn in "Courier New"
  kVerticalScroll = 8,
  kHorizontalScroll = 16,
  kBothScrolls = kVerticalScroll | kHorizontalScroll,
};

class TextBox : public Control {
 public:
  TextBox(std::string name, int index, int page, std::string text, unsigned style);
  TextBox(std::string name, int page, std::string text = "", unsigned style = kSingleLine)
      : TextBox(std::move(name), -1, page, std::move(text), style) {}
  ControlKind Kind() const override { return ControlKind::kTextBox; }

  const std::string& Text() const { return text_; }
  // Fires Change when the text differs; the handler may set the text again.
  void SetText(std::string text);
  // The field loses the focus, as when the user moves on to another control.
  void LoseFocus();

  bool MultiLine() const { return (style_ & kMultiLine) != 0; }
  bool Locked() const { return (style_ & kLocked) != 0; }
  bool VerticalScrollBar() const { return (style_ & kVerticalScroll) != 0; }
  bool HorizontalScrollBar() const { return (style_ & kHorizontalScroll) != 0; }

  void OnChange(std::function<void()> handler) { on_change_ = std::move(handler); }
  void OnLostFocus(std::function<void()> handler) { on_lost_focus_ = std::move(handler); }

 private:
  std::string text_;
  unsigned style_;
  std::function<void()> on_change_;
  std::function<void()> on_lost_focus_;
};

// A check box: 0 unticked, 1 ticked, 2 greyed. Only 1 counts as on.
class CheckBox : public Control {
 public:
  CheckBox(std::string name, int index, int page, std::string caption, int value = 0);
  ControlKind Kind() const override { return ControlKind::kCheckBox; }

  int Value() const { return value_; }
  // Fires Click when the value changes. std::out_of_range outside 0 to 2.
  void SetValue(int value);
  bool On() const { return value_ == 1; }

  void OnClick(std::function<void()> handler) { on_click_ = std::move(handler); }

 private:
  int value_;
  std::function<void()> on_click_;
};

class OptionGroup;

// An option button; the buttons of one group exclude each other.
class OptionButton : public Control {
 public:
  OptionButton(std::string name, int index, int page, std::string caption);
  ControlKind Kind() const override { return ControlKind::kOptionButton; }

  bool Value() const { return value_; }
  // Selecting a button deselects the others of its group and fires Click; clearing one fires
  // nothing. Selecting the selected button again changes nothing.
  void SetValue(bool value);
  // The user clicks the button: selected afterwards, Click fires even when it already was.
  void Click();

  void OnClick(std::function<void()> handler) { on_click_ = std::move(handler); }

 private:
  friend class OptionGroup;
  void Clear();

  bool value_ = false;
  OptionGroup* group_ = nullptr;
  std::function<void()> on_click_;
};

class OptionGroup {
 public:
  void Add(OptionButton& button);
  void SelectOnly(OptionButton& button);

 private:
  std::vector<OptionButton*> buttons_;
};

class CommandButton : public Control {
 public:
  CommandButton(std::string name, int index, int page, std::string caption, bool enabled = true);
  ControlKind Kind() const override { return ControlKind::kCommandButton; }

  // Fires Click; a disabled button cannot be pressed and returns false.
  bool Click();

  void OnClick(std::function<void()> handler) { on_click_ = std::move(handler); }

 private:
  std::function<void()> on_click_;
};

// The entries of a combo box or list box: text and item data, 0-based, and the chosen entry.
class ListControl : public Control {
 public:
  using Control::Control;

  int ListCount() const { return static_cast<int>(entries_.size()); }
  // std::out_of_range for an index outside the entries.
  const std::string& List(int index) const;
  void SetList(int index, std::string text);
  std::int32_t ItemData(int index) const;
  void SetItemData(int index, std::int32_t data);
  // Appends, or inserts before `index`; returns the new entry's index (NewIndex).
  int AddItem(std::string text, int index = -1);
  void RemoveItem(int index);
  void Clear();
  // The index of the first entry showing `text`, -1 when none does.
  int Find(std::string_view text) const;

  // -1 when no entry is chosen.
  int ListIndex() const { return list_index_; }
  // Fires Click when the chosen entry changes. std::out_of_range outside -1 to ListCount()-1.
  void SetListIndex(int index);
  // The user picks an entry: Click fires even when it was chosen already.
  void Choose(int index);
  // The chosen entry's text, "" when none.
  std::string Text() const;

  void OnClick(std::function<void()> handler) { on_click_ = std::move(handler); }

 protected:
  struct Entry {
    std::string text;
    std::int32_t data = 0;
    bool ticked = false;
  };
  Entry& At(int index);
  const Entry& At(int index) const;

 private:
  void SetChosen(int index);

  std::vector<Entry> entries_;
  int list_index_ = -1;
  std::function<void()> on_click_;
};

// A drop-down list: the text is always that of the chosen entry.
class ComboBox : public ListControl {
 public:
  ComboBox(std::string name, int page, std::vector<std::string> entries = {});
  ControlKind Kind() const override { return ControlKind::kComboBox; }
};

// A list box. With check boxes every entry carries a tick of its own; without, an entry is
// selected exactly when it is the chosen one.
class ListBox : public ListControl {
 public:
  ListBox(std::string name, int page, bool check_boxes = false);
  ControlKind Kind() const override { return ControlKind::kListBox; }

  bool CheckBoxes() const { return check_boxes_; }
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);

 private:
  bool check_boxes_;
};

class PictureBox : public Control {
 public:
  PictureBox(std::string name, int index, int page, host::Color back_color);
  ControlKind Kind() const override { return ControlKind::kPictureBox; }

  const host::Picture& Picture() const { return picture_; }
  void SetPicture(host::Picture picture);
  host::Color BackColor() const { return back_color_; }
  void SetBackColor(host::Color color);
  bool Click();

  void OnClick(std::function<void()> handler) { on_click_ = std::move(handler); }

 private:
  host::Picture picture_;
  host::Color back_color_;
  std::function<void()> on_click_;
};

// The tab strip: captions fixed at design time, one page shown at a time.
class TabStrip : public Control {
 public:
  TabStrip(std::string name, std::vector<std::string> captions);
  ControlKind Kind() const override { return ControlKind::kTabStrip; }

  int Tabs() const { return static_cast<int>(captions_.size()); }
  const std::string& TabCaption(int tab) const;
  int Tab() const { return tab_; }
  // std::out_of_range for a page the strip does not have, as the toolkit refuses it.
  void SetTab(int tab);

 private:
  std::vector<std::string> captions_;
  int tab_ = 0;
};

// A control array: elements sharing one name, told apart by index, with one handler per event
// that receives the index. Indexes need not be consecutive.
template <class T>
class ControlArray {
 public:
  explicit ControlArray(std::string name) : name_(std::move(name)) {}

  template <class... Args>
  T& Add(int index, int page, Args&&... args) {
    auto element = std::make_unique<T>(name_, index, page, std::forward<Args>(args)...);
    T& added = *element;
    elements_[index] = std::move(element);
    if constexpr (std::is_same_v<T, OptionButton>) {
      if (!group_) group_ = std::make_unique<OptionGroup>();
      group_->Add(added);
    }
    return added;
  }

  const std::string& Name() const { return name_; }
  bool Has(int index) const { return elements_.count(index) != 0; }
  // std::out_of_range for an index the array lacks.
  T& operator()(int index) { return *elements_.at(index); }
  const T& operator()(int index) const { return *elements_.at(index); }
  std::vector<int> Indexes() const {
    std::vector<int> indexes;
    for (const auto& [index, element] : elements_) indexes.push_back(index);
    return indexes;
  }

  // One Click handler for every element, called with the element's index.
  void OnClick(std::function<void(int)> handler) {
    auto shared = std::make_shared<std::function<void(int)>>(std::move(handler));
    for (auto& [index, element] : elements_) {
      element->OnClick([shared, i = index] { (*shared)(i); });
    }
  }

 private:
  std::string name_;
  std::map<int, std::unique_ptr<T>> elements_;
  std::unique_ptr<OptionGroup> group_;  // the elements of an option-button array exclude each other
};

}  // namespace marquill::shell

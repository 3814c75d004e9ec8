#include "shell/window/controls.h"

#include <stdexcept>
#include <utility>

namespace marquill::shell {

namespace {

void Fire(const std::function<void()>& handler) {
  if (handler) handler();
}

}  // namespace

Control::Control(std::string name, int index, int page, std::string caption)
    : name_(std::move(name)), index_(index), page_(page), caption_(std::move(caption)) {}

Control::~Control() = default;

std::string Control::DisplayName() const {
  if (index_ < 0) return name_;
  return name_ + "(" + std::to_string(index_) + ")";
}

void Control::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(ControlState::kCaption);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(ControlState::kEnabled);
}

int Control::Subscribe(Observer observer) {
  int handle = next_handle_++;
  observers_.emplace(handle, std::move(observer));
  return handle;
}

void Control::Unsubscribe(int handle) { observers_.erase(handle); }

void Control::Notify(ControlState state) {
  // An observer may unsubscribe itself while being told; walk a copy.
  auto observers = observers_;
  for (auto& [handle, observer] : observers) observer(*this, state);
}

Label::Label(std::string name, int page, std::string caption, bool frame)
    : Control(std::move(name), -1, page, std::move(caption)), frame_(frame) {}

TextBox::TextBox(std::string name, int index, int page, std::string text, unsigned style)
    : Control(std::move(name), index, page, ""), text_(std::move(text)), style_(style) {
  if ((style & kFixedPitch) != 0) SetFontName("Courier New");
}

void TextBox::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Notify(ControlState::kText);
  Fire(on_change_);
}

void TextBox::LoseFocus() { Fire(on_lost_focus_); }

CheckBox::CheckBox(std::string name, int index, int page, std::string caption, int value)
    : Control(std::move(name), index, page, std::move(caption)), value_(value) {}

void CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) {
    throw std::out_of_range(DisplayName() + ": a check box value is 0, 1 or 2");
  }
  if (value == value_) return;
  value_ = value;
  Notify(ControlState::kValue);
  Fire(on_click_);
}

OptionButton::OptionButton(std::string name, int index, int page, std::string caption)
    : Control(std::move(name), index, page, std::move(caption)) {}

void OptionButton::SetValue(bool value) {
  if (value == value_) return;
  if (!value) {
    Clear();
    return;
  }
  if (group_ != nullptr) group_->SelectOnly(*this);
  value_ = true;
  Notify(ControlState::kValue);
  Fire(on_click_);
}

void OptionButton::Click() {
  if (!Enabled()) return;
  if (value_) {
    Fire(on_click_);
    return;
  }
  SetValue(true);
}

void OptionButton::Clear() {
  if (!value_) return;
  value_ = false;
  Notify(ControlState::kValue);
}

void OptionGroup::Add(OptionButton& button) {
  buttons_.push_back(&button);
  button.group_ = this;
}

void OptionGroup::SelectOnly(OptionButton& button) {
  for (OptionButton* other : buttons_) {
    if (other != &button) other->Clear();
  }
}

CommandButton::CommandButton(std::string name, int index, int page, std::string caption,
                             bool enabled)
    : Control(std::move(name), index, page, std::move(caption)) {
  SetEnabled(enabled);
}

bool CommandButton::Click() {
  if (!Enabled()) return false;
  Fire(on_click_);
  return true;
}

ListControl::Entry& ListControl::At(int index) {
  if (index < 0 || index >= ListCount()) {
    throw std::out_of_range(DisplayName() + ": no entry " + std::to_string(index));
  }
  return entries_[static_cast<std::size_t>(index)];
}

const ListControl::Entry& ListControl::At(int index) const {
  return const_cast<ListControl*>(this)->At(index);
}

const std::string& ListControl::List(int index) const { return At(index).text; }

void ListControl::SetList(int index, std::string text) {
  At(index).text = std::move(text);
  Notify(ControlState::kEntries);
}

std::int32_t ListControl::ItemData(int index) const { return At(index).data; }

void ListControl::SetItemData(int index, std::int32_t data) {
  At(index).data = data;
  Notify(ControlState::kEntries);
}

int ListControl::AddItem(std::string text, int index) {
  if (index > ListCount()) {
    throw std::out_of_range(DisplayName() + ": cannot insert at " + std::to_string(index));
  }
  if (index < 0) index = ListCount();
  entries_.insert(entries_.begin() + index, Entry{std::move(text)});
  // An insertion before the chosen entry keeps the same entry chosen.
  if (list_index_ >= index) ++list_index_;
  Notify(ControlState::kEntries);
  return index;
}

void ListControl::RemoveItem(int index) {
  At(index);  // range check
  entries_.erase(entries_.begin() + index);
  Notify(ControlState::kEntries);
  if (list_index_ == index) {
    list_index_ = -1;
    Notify(ControlState::kListIndex);
  } else if (list_index_ > index) {
    --list_index_;
    Notify(ControlState::kListIndex);
  }
}

void ListControl::Clear() {
  bool had_choice = list_index_ >= 0;
  entries_.clear();
  list_index_ = -1;
  Notify(ControlState::kEntries);
  if (had_choice) Notify(ControlState::kListIndex);
}

int ListControl::Find(std::string_view text) const {
  for (int i = 0; i < ListCount(); ++i) {
    if (entries_[static_cast<std::size_t>(i)].text == text) return i;
  }
  return -1;
}

void ListControl::SetChosen(int index) {
  if (index < -1 || index >= ListCount()) {
    throw std::out_of_range(DisplayName() + ": no entry " + std::to_string(index));
  }
  list_index_ = index;
  Notify(ControlState::kListIndex);
}

void ListControl::SetListIndex(int index) {
  if (index == list_index_) return;
  SetChosen(index);
  Fire(on_click_);
}

void ListControl::Choose(int index) {
  if (!Enabled()) return;
  if (index != list_index_) SetChosen(index);
  Fire(on_click_);
}

std::string ListControl::Text() const {
  if (list_index_ < 0) return "";
  return entries_[static_cast<std::size_t>(list_index_)].text;
}

ComboBox::ComboBox(std::string name, int page, std::vector<std::string> entries)
    : ListControl(std::move(name), -1, page, "") {
  for (auto& entry : entries) AddItem(std::move(entry));
}

ListBox::ListBox(std::string name, int page, bool check_boxes)
    : ListControl(std::move(name), -1, page, ""), check_boxes_(check_boxes) {}

bool ListBox::Selected(int index) const {
  if (check_boxes_) return At(index).ticked;
  At(index);  // range check
  return ListIndex() == index;
}

void ListBox::SetSelected(int index, bool selected) {
  if (!check_boxes_) {
    if (selected) {
      SetListIndex(index);
    } else if (ListIndex() == index) {
      SetListIndex(-1);
    }
    return;
  }
  Entry& entry = At(index);
  if (entry.ticked == selected) return;
  entry.ticked = selected;
  Notify(ControlState::kTicks);
}

PictureBox::PictureBox(std::string name, int index, int page, host::Color back_color)
    : Control(std::move(name), index, page, ""), back_color_(back_color) {}

void PictureBox::SetPicture(host::Picture picture) {
  if (picture == picture_) return;
  picture_ = std::move(picture);
  Notify(ControlState::kPicture);
}

void PictureBox::SetBackColor(host::Color color) {
  if (color == back_color_) return;
  back_color_ = color;
  Notify(ControlState::kBackColor);
}

bool PictureBox::Click() {
  if (!Enabled()) return false;
  Fire(on_click_);
  return true;
}

TabStrip::TabStrip(std::string name, std::vector<std::string> captions)
    : Control(std::move(name), -1, -1, ""), captions_(std::move(captions)) {}

const std::string& TabStrip::TabCaption(int tab) const {
  if (tab < 0 || tab >= Tabs()) {
    throw std::out_of_range(Name() + ": no tab " + std::to_string(tab));
  }
  return captions_[static_cast<std::size_t>(tab)];
}

void TabStrip::SetTab(int tab) {
  TabCaption(tab);  // range check
  if (tab == tab_) return;
  tab_ = tab;
  Notify(ControlState::kTab);
}

}  // namespace marquill::shell

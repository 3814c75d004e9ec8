#include "shell/command_bars/recording_command_bars.h"

#include <algorithm>
#include <map>
#include <utility>

namespace marquill::shell {

namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

const char* TypeName(CommandBarControlType type) {
  switch (type) {
    case CommandBarControlType::kButton:
      return "button";
    case CommandBarControlType::kComboBox:
      return "combo box";
    case CommandBarControlType::kPopup:
      return "popup";
  }
  return "control";
}

}  // namespace

struct RecordingCommandBars::HookTable {
  struct Entry {
    RecordingControl* control;
    std::function<void()> on_click;
  };
  std::map<int, Entry> entries;
  int last_id = 0;
};

namespace {

class RecordingHook final : public ClickHook {
 public:
  explicit RecordingHook(std::function<void()> unhook) : unhook_(std::move(unhook)) {}
  ~RecordingHook() override { unhook_(); }

 private:
  std::function<void()> unhook_;
};

}  // namespace

// RecordingControl

RecordingControl::RecordingControl(RecordingCommandBars& bars, RecordingControls* parent,
                                   CommandBarControlType type, int id)
    : bars_(bars), parent_(parent), type_(type), id_(id) {
  if (type == CommandBarControlType::kPopup) {
    popup_ = std::make_unique<RecordingControls>(bars, Tag());
  }
}

RecordingControl::~RecordingControl() = default;

std::string RecordingControl::Tag() const { return "#" + std::to_string(id_); }

void RecordingControl::CheckLive() const {
  if (parent_ == nullptr) throw host::HostError("control " + Tag() + " was deleted");
}

void RecordingControl::CheckType(CommandBarControlType type, const char* what) const {
  CheckLive();
  if (type_ != type) {
    throw host::HostError(std::string("a ") + TypeName(type_) + " has no " + what);
  }
}

CommandBarControlType RecordingControl::Type() const { return type_; }

std::string RecordingControl::Caption() const {
  CheckLive();
  return caption_;
}

void RecordingControl::SetCaption(std::string_view caption) {
  CheckLive();
  bars_.Record(Tag() + ".Caption = " + Quoted(caption));
  caption_ = caption;
}

bool RecordingControl::BeginGroup() const {
  CheckLive();
  return begin_group_;
}

void RecordingControl::SetBeginGroup(bool begin_group) {
  CheckLive();
  bars_.Record(Tag() + ".BeginGroup = " + (begin_group ? "true" : "false"));
  begin_group_ = begin_group;
}

int RecordingControl::Width() const {
  CheckLive();
  return width_;
}

void RecordingControl::SetWidth(int width) {
  CheckLive();
  bars_.Record(Tag() + ".Width = " + std::to_string(width));
  width_ = width;
}

void RecordingControl::Delete() {
  CheckLive();
  bars_.Record(Tag() + ".Delete");
  bars_.Bury(parent_->Remove(*this));
}

int RecordingControl::Face() const {
  CheckType(CommandBarControlType::kButton, "face");
  return face_;
}

void RecordingControl::SetFace(int face) {
  CheckType(CommandBarControlType::kButton, "face");
  bars_.Record(Tag() + ".Face = " + std::to_string(face));
  face_ = face;
}

CommandBarControls& RecordingControl::Controls() {
  CheckType(CommandBarControlType::kPopup, "controls");
  return *popup_;
}

void RecordingControl::AddItem(std::string_view text) {
  CheckType(CommandBarControlType::kComboBox, "entries");
  bars_.Record(Tag() + ".AddItem " + Quoted(text));
  entries_.emplace_back(text);
}

void RecordingControl::RemoveItem(int index) {
  CheckType(CommandBarControlType::kComboBox, "entries");
  if (index < 1 || index > ListCount()) {
    throw host::HostError(Tag() + " has no entry " + std::to_string(index));
  }
  bars_.Record(Tag() + ".RemoveItem " + std::to_string(index));
  entries_.erase(entries_.begin() + (index - 1));
  if (list_index_ == index) {
    list_index_ = 0;
  } else if (list_index_ > index) {
    --list_index_;
  }
}

int RecordingControl::ListCount() const {
  CheckType(CommandBarControlType::kComboBox, "entries");
  return static_cast<int>(entries_.size());
}

std::string RecordingControl::List(int index) const {
  CheckType(CommandBarControlType::kComboBox, "entries");
  if (index < 1 || index > ListCount()) {
    throw host::HostError(Tag() + " has no entry " + std::to_string(index));
  }
  return entries_[static_cast<std::size_t>(index - 1)];
}

int RecordingControl::ListIndex() const {
  CheckType(CommandBarControlType::kComboBox, "entries");
  return list_index_;
}

void RecordingControl::SetListIndex(int index) {
  CheckType(CommandBarControlType::kComboBox, "entries");
  if (index < 0 || index > ListCount()) {
    throw host::HostError(Tag() + " has no entry " + std::to_string(index));
  }
  bars_.Record(Tag() + ".ListIndex = " + std::to_string(index));
  list_index_ = index;
}

// RecordingControls

RecordingControls::RecordingControls(RecordingCommandBars& bars, std::string owner)
    : bars_(bars), owner_(std::move(owner)) {}

CommandBarControl& RecordingControls::Add(CommandBarControlType type) {
  auto control = std::make_unique<RecordingControl>(bars_, this, type, bars_.NextId());
  bars_.Record(owner_ + ".Controls.Add(" + std::to_string(static_cast<int>(type)) + ") -> " +
               control->Tag());
  controls_.push_back(std::move(control));
  return *controls_.back();
}

int RecordingControls::Count() const { return static_cast<int>(controls_.size()); }

CommandBarControl& RecordingControls::Item(int index) {
  if (index < 1 || index > Count()) {
    throw host::HostError(owner_ + " has no control " + std::to_string(index));
  }
  return *controls_[static_cast<std::size_t>(index - 1)];
}

std::unique_ptr<RecordingControl> RecordingControls::Remove(RecordingControl& control) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [&](const auto& held) { return held.get() == &control; });
  if (it == controls_.end()) throw host::HostError(control.Tag() + " is not on " + owner_);
  std::unique_ptr<RecordingControl> removed = std::move(*it);
  controls_.erase(it);
  removed->parent_ = nullptr;
  return removed;
}

std::vector<std::unique_ptr<RecordingControl>> RecordingControls::RemoveAll() {
  std::vector<std::unique_ptr<RecordingControl>> removed = std::move(controls_);
  controls_.clear();
  for (auto& control : removed) control->parent_ = nullptr;
  return removed;
}

// RecordingBar

RecordingBar::RecordingBar(RecordingCommandBars& bars, std::string name, int position)
    : bars_(bars), name_(name), position_(position), controls_(bars, Quoted(name)) {}

void RecordingBar::CheckLive() const {
  if (deleted_) throw host::HostError("command bar " + Quoted(name_) + " was deleted");
}

std::string RecordingBar::Name() const { return name_; }

bool RecordingBar::Visible() const {
  CheckLive();
  return visible_;
}

void RecordingBar::SetVisible(bool visible) {
  CheckLive();
  bars_.Record(Quoted(name_) + ".Visible = " + (visible ? "true" : "false"));
  visible_ = visible;
}

CommandBarControls& RecordingBar::Controls() {
  CheckLive();
  return controls_;
}

void RecordingBar::Delete() {
  CheckLive();
  bars_.Record(Quoted(name_) + ".Delete");
  for (auto& control : controls_.RemoveAll()) bars_.Bury(std::move(control));
  deleted_ = true;
  bars_.BuryBar(*this);
}

// RecordingCommandBars

RecordingCommandBars::RecordingCommandBars(bool with_addins_menu)
    : hooks_(std::make_shared<HookTable>()) {
  if (with_addins_menu) {
    bars_.push_back(std::make_unique<RecordingBar>(*this, "Add-Ins", 0));
    bars_.back()->SetVisible(true);
    log_.clear();  // the IDE's own bar is not something the add-in did
  }
}

RecordingCommandBars::~RecordingCommandBars() = default;

RecordingBar* RecordingCommandBars::Find(std::string_view name) {
  for (auto& bar : bars_) {
    if (bar->Name() == name) return bar.get();
  }
  return nullptr;
}

CommandBar& RecordingCommandBars::Item(std::string_view name) {
  RecordingBar* bar = Find(name);
  Record("Item(" + Quoted(name) + ")" + (bar == nullptr ? " -> missing" : ""));
  if (bar == nullptr) throw host::HostError("no command bar " + Quoted(name));
  return *bar;
}

CommandBar& RecordingCommandBars::Add(std::string_view name, int position) {
  if (Find(name) != nullptr) throw host::HostError("a command bar " + Quoted(name) + " exists");
  Record("Add bar " + Quoted(name) + " at " + std::to_string(position));
  bars_.push_back(std::make_unique<RecordingBar>(*this, std::string(name), position));
  return *bars_.back();
}

std::unique_ptr<ClickHook> RecordingCommandBars::HookClick(CommandBarControl& control,
                                                           std::function<void()> on_click) {
  auto& recording = dynamic_cast<RecordingControl&>(control);
  recording.CheckLive();
  Record("Hook " + recording.Tag());
  int id = ++hooks_->last_id;
  hooks_->entries.emplace(id, HookTable::Entry{&recording, std::move(on_click)});
  // The bars may be gone before the hook; then there is nothing to unhook.
  std::weak_ptr<HookTable> table = hooks_;
  return std::make_unique<RecordingHook>([table, id] {
    if (auto alive = table.lock()) alive->entries.erase(id);
  });
}

std::vector<std::string> RecordingCommandBars::BarNames() const {
  std::vector<std::string> names;
  for (const auto& bar : bars_) names.push_back(bar->Name());
  return names;
}

namespace {

RecordingControl* FindIn(CommandBarControls& controls, std::string_view caption) {
  for (int i = 1; i <= controls.Count(); ++i) {
    auto& control = dynamic_cast<RecordingControl&>(controls.Item(i));
    if (control.Caption() == caption) return &control;
    if (control.Type() == CommandBarControlType::kPopup) {
      if (RecordingControl* inner = FindIn(control.Controls(), caption)) return inner;
    }
  }
  return nullptr;
}

}  // namespace

RecordingControl* RecordingCommandBars::FindControl(std::string_view bar,
                                                    std::string_view caption) {
  RecordingBar* found = Find(bar);
  return found == nullptr ? nullptr : FindIn(found->Items(), caption);
}

int RecordingCommandBars::Click(CommandBarControl& control) {
  std::vector<std::function<void()>> handlers;
  for (const auto& [id, entry] : hooks_->entries) {
    if (entry.control == &control) handlers.push_back(entry.on_click);
  }
  for (auto& handler : handlers) handler();
  return static_cast<int>(handlers.size());
}

int RecordingCommandBars::LiveHooks() const { return static_cast<int>(hooks_->entries.size()); }

void RecordingCommandBars::Bury(std::unique_ptr<RecordingControl> control) {
  buried_.push_back(std::move(control));
}

void RecordingCommandBars::BuryBar(RecordingBar& bar) {
  auto it = std::find_if(bars_.begin(), bars_.end(),
                         [&](const auto& held) { return held.get() == &bar; });
  if (it == bars_.end()) return;
  buried_bars_.push_back(std::move(*it));
  bars_.erase(it);
}

}  // namespace marquill::shell

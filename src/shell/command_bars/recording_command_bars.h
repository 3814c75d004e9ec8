// Command bars kept in memory, every call logged: the command line's bars, and what tests look
// at to see what the add-in built and removed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/command_bars/command_bars.h"

namespace marquill::shell {

class RecordingCommandBars;
class RecordingControls;

class RecordingControl final : public CommandBarControl {
 public:
  RecordingControl(RecordingCommandBars& bars, RecordingControls* parent,
                   CommandBarControlType type, int id);
  ~RecordingControl() override;

  CommandBarControlType Type() const override;
  std::string Caption() const override;
  void SetCaption(std::string_view caption) override;
  bool BeginGroup() const override;
  void SetBeginGroup(bool begin_group) override;
  int Width() const override;
  void SetWidth(int width) override;
  void Delete() override;
  int Face() const override;
  void SetFace(int face) override;
  CommandBarControls& Controls() override;
  void AddItem(std::string_view text) override;
  void RemoveItem(int index) override;
  int ListCount() const override;
  std::string List(int index) const override;
  int ListIndex() const override;
  void SetListIndex(int index) override;

  // "#7": how the log names the control.
  std::string Tag() const;
  int Id() const { return id_; }
  bool Deleted() const { return parent_ == nullptr; }

 private:
  friend class RecordingControls;
  friend class RecordingCommandBars;
  void CheckLive() const;
  void CheckType(CommandBarControlType type, const char* what) const;

  RecordingCommandBars& bars_;
  RecordingControls* parent_;  // nullptr once deleted
  CommandBarControlType type_;
  int id_;
  std::string caption_;
  bool begin_group_ = false;
  int width_ = 0;
  int face_ = 0;
  std::unique_ptr<RecordingControls> popup_;
  std::vector<std::string> entries_;
  int list_index_ = 0;
};

class RecordingControls final : public CommandBarControls {
 public:
  RecordingControls(RecordingCommandBars& bars, std::string owner);
  CommandBarControl& Add(CommandBarControlType type) override;
  int Count() const override;
  CommandBarControl& Item(int index) override;

  const std::string& Owner() const { return owner_; }
  // Detaches `control` and hands it over, so that references to it stay valid.
  std::unique_ptr<RecordingControl> Remove(RecordingControl& control);
  // Detaches everything, for a bar being deleted.
  std::vector<std::unique_ptr<RecordingControl>> RemoveAll();

 private:
  RecordingCommandBars& bars_;
  std::string owner_;
  std::vector<std::unique_ptr<RecordingControl>> controls_;
};

class RecordingBar final : public CommandBar {
 public:
  RecordingBar(RecordingCommandBars& bars, std::string name, int position);
  std::string Name() const override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  CommandBarControls& Controls() override;
  void Delete() override;

  int Position() const { return position_; }
  bool Deleted() const { return deleted_; }
  RecordingControls& Items() { return controls_; }

 private:
  void CheckLive() const;

  RecordingCommandBars& bars_;
  std::string name_;
  int position_;
  bool visible_ = false;
  bool deleted_ = false;
  RecordingControls controls_;
};

class RecordingCommandBars final : public CommandBars {
 public:
  // The IDE's own menu bar "Add-Ins" is there unless `with_addins_menu` is false.
  explicit RecordingCommandBars(bool with_addins_menu = true);
  ~RecordingCommandBars() override;

  CommandBar& Item(std::string_view name) override;
  CommandBar& Add(std::string_view name, int position) override;
  std::unique_ptr<ClickHook> HookClick(CommandBarControl& control,
                                       std::function<void()> on_click) override;

  // Every call, in order: `Add bar "VB Hobrook" at 1`, `#3.Caption = "Open..."` ...
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // The live bar of that name, nullptr when there is none.
  RecordingBar* Find(std::string_view name);
  std::vector<std::string> BarNames() const;
  // The first live control with this caption on the bar or in its popups, nullptr if none.
  RecordingControl* FindControl(std::string_view bar, std::string_view caption);
  // A user's click: runs every hook of `control`; returns how many ran.
  int Click(CommandBarControl& control);
  // Hooks alive at this moment.
  int LiveHooks() const;

 private:
  friend class RecordingControl;
  friend class RecordingControls;
  friend class RecordingBar;
  struct HookTable;

  void Record(std::string entry) { log_.push_back(std::move(entry)); }
  int NextId() { return ++last_id_; }
  void Bury(std::unique_ptr<RecordingControl> control);
  void BuryBar(RecordingBar& bar);

  std::vector<std::unique_ptr<RecordingBar>> bars_;
  // Deleted controls and bars stay here, so that references held by callers stay valid.
  std::vector<std::unique_ptr<RecordingControl>> buried_;
  std::vector<std::unique_ptr<RecordingBar>> buried_bars_;
  std::shared_ptr<HookTable> hooks_;
  std::vector<std::string> log_;
  int last_id_ = 0;
};

}  // namespace marquill::shell

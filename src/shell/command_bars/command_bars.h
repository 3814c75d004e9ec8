// The IDE's command bars, as far as the add-in uses them: menu bars and toolbars looked up by
// name or added, controls added by type (buttons, combo boxes, popups), captions, group starts,
// faces, widths, the combo box's entries, and Click hooks.
//
// The studio implements this with real menus and toolbars; tests and the command line use the
// recording implementation, which keeps the bars in memory and logs every call.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/code_model.h"

namespace marquill::shell {

// Control types, numbered as the IDE numbers them.
enum class CommandBarControlType : int {
  kButton = 1,
  kComboBox = 4,
  kPopup = 10,
};

// Face bitmaps of the add-in's buttons (16 x 16, 24 bits).
inline constexpr int kFaceLogo = 101;
inline constexpr int kFaceClock = 102;
inline constexpr int kFaceCross = 103;
inline constexpr int kFaceWindow = 104;
inline constexpr int kFaceClockRunning = 105;

class CommandBarControls;

class CommandBarControl {
 public:
  virtual ~CommandBarControl() = default;
  virtual CommandBarControlType Type() const = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual bool BeginGroup() const = 0;
  virtual void SetBeginGroup(bool begin_group) = 0;
  virtual int Width() const = 0;
  virtual void SetWidth(int width) = 0;
  // Removes the control from its bar. The object stays valid (and answers HostError) until the
  // implementation releases it, so a caller holding it may still ask it.
  virtual void Delete() = 0;

  // Buttons: the face bitmap, by resource number; 0 for none. HostError for other types.
  virtual int Face() const = 0;
  virtual void SetFace(int face) = 0;

  // Popups: the controls of the submenu. HostError for other types.
  virtual CommandBarControls& Controls() = 0;

  // Combo boxes: entries count from 1; ListIndex 0 means none chosen. HostError for other types.
  virtual void AddItem(std::string_view text) = 0;
  virtual void RemoveItem(int index) = 0;
  virtual int ListCount() const = 0;
  virtual std::string List(int index) const = 0;
  virtual int ListIndex() const = 0;
  virtual void SetListIndex(int index) = 0;
};

class CommandBarControls {
 public:
  virtual ~CommandBarControls() = default;
  // Appends a control with default id, parameter, position and temporariness.
  virtual CommandBarControl& Add(CommandBarControlType type) = 0;
  virtual int Count() const = 0;
  // 1-based; HostError when out of range.
  virtual CommandBarControl& Item(int index) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  virtual std::string Name() const = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual CommandBarControls& Controls() = 0;
  virtual void Delete() = 0;
};

// Position of a new bar: docked at the top.
inline constexpr int kBarTop = 1;

// Keeps a Click hook alive; destroying it unhooks.
class ClickHook {
 public:
  virtual ~ClickHook() = default;
};

class CommandBars {
 public:
  virtual ~CommandBars() = default;
  // HostError when there is no bar of that name.
  virtual CommandBar& Item(std::string_view name) = 0;
  // Adds a permanent bar docked at `position`.
  virtual CommandBar& Add(std::string_view name, int position) = 0;
  // The event object of `control`: `on_click` runs at each Click until the hook is destroyed.
  virtual std::unique_ptr<ClickHook> HookClick(CommandBarControl& control,
                                               std::function<void()> on_click) = 0;
};

}  // namespace marquill::shell

#include "host/vbfiles/control_classes.h"

#include <array>

#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

using K = PropertyKind;

constexpr std::array<std::string_view, 2> kAppearance = {"Flat", "3D"};
constexpr std::array<std::string_view, 6> kFormBorder = {
    "None", "Fixed Single", "Sizable", "Fixed Dialog", "Fixed ToolWindow", "Sizable ToolWindow"};
constexpr std::array<std::string_view, 2> kControlBorder = {"None", "Fixed Single"};
constexpr std::array<std::string_view, 8> kScaleMode = {
    "User", "Twips", "Point", "Pixel", "Character", "Inch", "Millimeter", "Centimeter"};
constexpr std::array<std::string_view, 4> kStartUp = {"Manual", "CenterOwner", "CenterScreen",
                                                      "Windows Default"};
constexpr std::array<std::string_view, 3> kWindowState = {"Normal", "Minimized", "Maximized"};
constexpr std::array<std::string_view, 3> kAlignment = {"Left Justify", "Right Justify", "Center"};

// Every entry is in the IDE's own (alphabetical) order. "Index" is left out: only elements of
// control arrays have one, and those write it.
constexpr PropertySpec kForm[] = {
    {"Appearance", K::kInteger, "1", kAppearance},
    {"AutoRedraw", K::kBool, "0"},
    {"BackColor", K::kColor, "&H8000000F&"},
    {"BorderStyle", K::kInteger, "2", kFormBorder},
    {"Caption", K::kString},
    {"ClientHeight", K::kInteger},
    {"ClientLeft", K::kInteger},
    {"ClientTop", K::kInteger},
    {"ClientWidth", K::kInteger},
    {"ClipControls", K::kBool, "-1"},
    {"ControlBox", K::kBool, "-1"},
    {"Enabled", K::kBool, "-1"},
    {"FillColor", K::kColor, "&H00000000&"},
    {"ForeColor", K::kColor, "&H80000012&"},
    {"HasDC", K::kBool, "-1"},
    {"HelpContextID", K::kInteger, "0"},
    {"Icon", K::kPicture, ""},
    {"KeyPreview", K::kBool, "0"},
    {"LinkTopic", K::kString},
    {"MaxButton", K::kBool, "-1"},
    {"MDIChild", K::kBool, "0"},
    {"MinButton", K::kBool, "-1"},
    {"MouseIcon", K::kPicture, ""},
    {"Moveable", K::kBool, "-1"},
    {"NegotiateMenus", K::kBool, "-1"},
    {"Picture", K::kPicture, ""},
    {"RightToLeft", K::kBool, "0"},
    {"ScaleHeight", K::kInteger},
    {"ScaleMode", K::kInteger, "1", kScaleMode},
    {"ScaleWidth", K::kInteger},
    {"ShowInTaskbar", K::kBool, "-1"},
    {"StartUpPosition", K::kInteger, "0", kStartUp},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
    {"WhatsThisButton", K::kBool, "0"},
    {"WhatsThisHelp", K::kBool, "0"},
    {"WindowState", K::kInteger, "0", kWindowState},
};

constexpr PropertySpec kMdiForm[] = {
    {"Appearance", K::kInteger, "1", kAppearance},
    {"AutoShowChildren", K::kBool, "-1"},
    {"BackColor", K::kColor, "&H8000000C&"},
    {"Caption", K::kString},
    {"ClientHeight", K::kInteger},
    {"ClientLeft", K::kInteger},
    {"ClientTop", K::kInteger},
    {"ClientWidth", K::kInteger},
    {"Enabled", K::kBool, "-1"},
    {"HelpContextID", K::kInteger, "0"},
    {"Icon", K::kPicture, ""},
    {"LinkTopic", K::kString},
    {"MouseIcon", K::kPicture, ""},
    {"Moveable", K::kBool, "-1"},
    {"NegotiateToolbars", K::kBool, "-1"},
    {"Picture", K::kPicture, ""},
    {"RightToLeft", K::kBool, "0"},
    {"ScrollBars", K::kBool, "-1"},
    {"StartUpPosition", K::kInteger, "0", kStartUp},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
    {"WhatsThisHelp", K::kBool, "0"},
    {"WindowState", K::kInteger, "0", kWindowState},
};

// Controls that take the focus: TabIndex and TabStop.
constexpr PropertySpec kFocusable[] = {
    {"Enabled", K::kBool, "-1"}, {"TabIndex", K::kInteger, "0"}, {"TabStop", K::kBool, "-1"},
    {"Tag", K::kString, "\"\""}, {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kTextBox[] = {
    {"Alignment", K::kInteger, "0", kAlignment},
    {"Appearance", K::kInteger, "1", kAppearance},
    {"BackColor", K::kColor, "&H80000005&"},
    {"BorderStyle", K::kInteger, "1", kControlBorder},
    {"Enabled", K::kBool, "-1"},
    {"ForeColor", K::kColor, "&H80000008&"},
    {"Locked", K::kBool, "0"},
    {"MultiLine", K::kBool, "0"},
    {"TabIndex", K::kInteger, "0"},
    {"TabStop", K::kBool, "-1"},
    {"Tag", K::kString, "\"\""},
    {"Text", K::kString},
    {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kCommandButton[] = {
    {"BackColor", K::kColor, "&H8000000F&"},
    {"Cancel", K::kBool, "0"},
    {"Caption", K::kString},
    {"Default", K::kBool, "0"},
    {"Enabled", K::kBool, "-1"},
    {"TabIndex", K::kInteger, "0"},
    {"TabStop", K::kBool, "-1"},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
};

// Labels and frames: in the tab order, but never stopped at.
constexpr PropertySpec kLabel[] = {
    {"Alignment", K::kInteger, "0", kAlignment},
    {"AutoSize", K::kBool, "0"},
    {"BackColor", K::kColor, "&H8000000F&"},
    {"Caption", K::kString},
    {"Enabled", K::kBool, "-1"},
    {"ForeColor", K::kColor, "&H80000012&"},
    {"TabIndex", K::kInteger, "0"},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kFrame[] = {
    {"BackColor", K::kColor, "&H8000000F&"},
    {"Caption", K::kString},
    {"Enabled", K::kBool, "-1"},
    {"ForeColor", K::kColor, "&H80000012&"},
    {"TabIndex", K::kInteger, "0"},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kPictureBox[] = {
    {"AutoRedraw", K::kBool, "0"},
    {"BackColor", K::kColor, "&H8000000F&"},
    {"Enabled", K::kBool, "-1"},
    {"Picture", K::kPicture, ""},
    {"ScaleMode", K::kInteger, "1", kScaleMode},
    {"TabIndex", K::kInteger, "0"},
    {"TabStop", K::kBool, "-1"},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
};

// Graphical controls and components without focus: no TabIndex, no TabStop.
constexpr PropertySpec kGraphic[] = {
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kImage[] = {
    {"Enabled", K::kBool, "-1"}, {"Picture", K::kPicture, ""}, {"Stretch", K::kBool, "0"},
    {"Tag", K::kString, "\"\""}, {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kTimer[] = {
    {"Enabled", K::kBool, "-1"},
    {"Interval", K::kInteger, "0"},
    {"Tag", K::kString, "\"\""},
};

constexpr PropertySpec kData[] = {
    {"Caption", K::kString},
    {"Enabled", K::kBool, "-1"},
    {"Tag", K::kString, "\"\""},
    {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kMenu[] = {
    {"Caption", K::kString},     {"Checked", K::kBool, "0"},  {"Enabled", K::kBool, "-1"},
    {"Tag", K::kString, "\"\""}, {"Visible", K::kBool, "-1"},
};

constexpr PropertySpec kUserControl[] = {
    {"BackColor", K::kColor, "&H8000000F&"},
    {"ClientHeight", K::kInteger},
    {"ClientLeft", K::kInteger},
    {"ClientTop", K::kInteger},
    {"ClientWidth", K::kInteger},
    {"ScaleHeight", K::kInteger},
    {"ScaleMode", K::kInteger, "1", kScaleMode},
    {"ScaleWidth", K::kInteger},
};

constexpr ControlClass kClasses[] = {
    {"VB.Form", kForm},
    {"VB.MDIForm", kMdiForm},
    {"VB.CommandButton", kCommandButton},
    {"VB.TextBox", kTextBox},
    {"VB.Label", kLabel},
    {"VB.Frame", kFrame},
    {"VB.CheckBox", kFocusable},
    {"VB.OptionButton", kFocusable},
    {"VB.ComboBox", kFocusable},
    {"VB.ListBox", kFocusable},
    {"VB.PictureBox", kPictureBox},
    {"VB.Image", kImage},
    {"VB.Line", kGraphic},
    {"VB.Shape", kGraphic},
    {"VB.Timer", kTimer},
    {"VB.HScrollBar", kFocusable},
    {"VB.VScrollBar", kFocusable},
    {"VB.DriveListBox", kFocusable},
    {"VB.DirListBox", kFocusable},
    {"VB.FileListBox", kFocusable},
    {"VB.Data", kData},
    {"VB.OLE", kFocusable},
    {"VB.Menu", kMenu},
    {"VB.UserControl", kUserControl},
    {"VB.PropertyPage", kUserControl},
    {"VB.UserDocument", kUserControl},
};

}  // namespace

const ControlClass* FindControlClass(std::string_view class_name) {
  for (const ControlClass& control_class : kClasses) {
    if (control_class.name == class_name) return &control_class;
  }
  return nullptr;
}

const PropertySpec* FindProperty(const ControlClass& control_class, std::string_view name) {
  for (const PropertySpec& spec : control_class.properties) {
    if (EqualsNoCase(spec.name, name)) return &spec;
  }
  return nullptr;
}

bool IsColorName(std::string_view property_name) {
  return property_name.size() >= 5 &&
         EqualsNoCase(property_name.substr(property_name.size() - 5), "Color");
}

bool IsPictureName(std::string_view property_name) {
  for (std::string_view name : {"Icon", "Picture", "MouseIcon", "DragIcon", "Image", "DownPicture",
                                "DisabledPicture", "Palette"}) {
    if (EqualsNoCase(property_name, name)) return true;
  }
  return false;
}

}  // namespace marquill::host::vbfiles

// What the designer knows about the intrinsic controls of the language: which properties a class
// has, their kinds and the defaults the IDE leaves unwritten, and the order it writes them in.
//
// A form file holds only non-default properties, so a property missing from a block reads as
// its default here (TabStop of a TextBox is True). Classes outside this table (ActiveX controls)
// have only the properties their block writes.
#pragma once

#include <span>
#include <string_view>

namespace marquill::host::vbfiles {

enum class PropertyKind { kBool, kInteger, kDouble, kString, kColor, kPicture };

struct PropertySpec {
  std::string_view name;
  PropertyKind kind;
  // The default in form-file syntax ("-1", "&H8000000F&", "0"); nullptr when it has none that
  // the IDE leaves unwritten (Caption, Height ...).
  const char* default_text = nullptr;
  // Names of the values of an enumerated property, by value from 0, for the comment the IDE
  // writes after the number ("3  'Pixel").
  std::span<const std::string_view> value_names = {};
};

struct ControlClass {
  std::string_view name;  // "VB.TextBox"
  std::span<const PropertySpec> properties;
};

// The intrinsic class of that name (exact, as the IDE writes it), or nullptr.
const ControlClass* FindControlClass(std::string_view class_name);

// The property of a class (case-insensitive name), or nullptr.
const PropertySpec* FindProperty(const ControlClass& control_class, std::string_view name);

// Names the IDE writes as colours.
bool IsColorName(std::string_view property_name);
// Names whose values are pictures kept in the side file.
bool IsPictureName(std::string_view property_name);

}  // namespace marquill::host::vbfiles

// The text of design-time property lines: `   Caption         =   "Form1"`.
//
// Names are padded to 16 columns, then "=" and three spaces, then the value. Values are numbers,
// booleans (`-1  'True`, `0   'False`), enumerations with a comment naming the value
// (`3  'Pixel`, localised, so an unchanged one is never rewritten), colours (`&H8000000F&`),
// quoted strings with doubled quotes, and references into the side file (`"Form1.frx":0000`,
// `$"Form1.frx":0010` for long texts).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/code_model.h"
#include "host/vbfiles/control_classes.h"

namespace marquill::host::vbfiles {

struct PropertyLineParts {
  std::string_view name;
  std::size_t value_start = 0;  // offset of the value in the line
  std::string_view value;
};

// Splits `   Name   =   value`; nullopt when the line has no '=' after a name.
std::optional<PropertyLineParts> SplitPropertyLine(std::string_view line);

// A value stored in the side file.
struct SideFileRef {
  std::string file;  // as written, relative to the form file
  std::uint32_t offset = 0;
  bool text = false;  // $"...": a string, not a picture
};

std::optional<SideFileRef> ParseSideFileRef(std::string_view value);
std::string FormatSideFileRef(const SideFileRef& ref);

// The value of a written property. Side-file references come back as monostate: the designer
// reads those from the side file. `kind` (when the class is known) decides between readings of
// the same text: -1 is True for a boolean property, &H80000005& a Color for a colour one.
PropertyValue ParsePropertyValue(std::string_view property_name, std::string_view value,
                                 const PropertySpec* spec);

// The form-file text of a value: booleans with their comment, enumerations with the value's name
// when `spec` knows it. HostError when the value does not suit the property's kind, or for a
// text with line breaks (those belong in the side file).
std::string FormatPropertyValue(const PropertyValue& value, const PropertySpec* spec);

// A value converted to the kind of a known property (an integer 0 set on a boolean is False).
PropertyValue CoerceToKind(const PropertyValue& value, PropertyKind kind);

// `indent` spaces, the name padded to 16 columns, "=   " and the value.
std::string MakePropertyLine(int indent, std::string_view name, std::string_view value);

// A string as the IDE quotes it: "say ""hi""".
std::string QuoteDesignerString(std::string_view text);

}  // namespace marquill::host::vbfiles

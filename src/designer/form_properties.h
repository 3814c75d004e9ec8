// The form property batch editor: one design-time property written on many forms at once, and
// the icon files its picture box takes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"

namespace marquill::designer {

// A refused icon file: missing, not an icon, or too large for a form's side file.
class IconError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest image a side file record can hold: its lengths and offsets are 32-bit.
inline constexpr std::uintmax_t kMaxIconBytes = 0xFFFFFFFFu - 12;

// The icon file's bytes as a picture; "" gives the empty picture, which clears a form's icon.
// IconError naming the file when it is missing, unreadable, not an .ico image or over `limit`.
host::Picture LoadIcon(const std::string& file_name, std::uintmax_t limit = kMaxIconBytes);

// Whether `bytes` hold an icon: the ICONDIR header (0, 1, count) and every directory entry's
// image inside the file.
bool IsIconImage(std::string_view bytes);

// Whether `color` is one a form can hold: an RGB value up to &H00FFFFFF& or one of the system
// colours &H80000000& to &H80000018&.
bool IsOleColor(host::Color color);

// How one form fared in a batch.
struct FormOutcome {
  std::string form;
  bool written = false;
  std::string reason;  // why the form was skipped
};

// Writes `property` on each named form of `project`, in the order given: a picture is assigned as
// an object, anything else as a value. A form that lacks the property or whose host rejects the
// value is skipped with the host's reason; the other forms are still served.
std::vector<FormOutcome> ApplyFormProperty(host::Project& project,
                                           const std::vector<std::string>& forms,
                                           std::string_view property,
                                           const host::PropertyValue& value);

// "" when `form` has `property`, else why it cannot take it.
std::string MissingFormProperty(host::Project& project, std::string_view form,
                                std::string_view property);

}  // namespace marquill::designer

// Text between the program's narrow strings, which are UTF-8 throughout (file names, arguments,
// the environment), and the UTF-16 of the Windows calls.
#pragma once

#include <string>
#include <string_view>

namespace marquill::host {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace marquill::host

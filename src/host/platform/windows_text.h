// Text between the program's narrow strings, which are in the machine's ANSI code page as the C
// runtime's own calls take them, and the UTF-16 of the Windows calls.
#pragma once

#include <string>
#include <string_view>

namespace marquill::host {

std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

}  // namespace marquill::host

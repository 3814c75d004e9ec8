// Files compiled into the add-in: the toolbar faces and the help page.
#pragma once

#include <string_view>

namespace marquill::shell {

// The BMP file of face `id` (101 to 105: logo, clock, cross, window frame, running clock), each
// 16 x 16 pixels of 24 bits; empty for any other id.
std::string_view FaceBitmap(int id);

// The help page installed as help/index.htm in the add-in folder.
std::string_view HelpPage();

}  // namespace marquill::shell

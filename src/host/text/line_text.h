// Text read line by line, as the add-in's editors show a file: every line followed by CR LF.
#pragma once

#include <string>
#include <string_view>

namespace marquill::host {

// Each line of `bytes` (ended by CR LF, LF or a lone CR, or by the end of the text) followed by
// CR LF; "" for an empty text.
std::string LinesEndedByCrLf(std::string_view bytes);

}  // namespace marquill::host

// Text read line by line, as the add-in's editors show a file: every line followed by CR LF.
#pragma once

#include <string>
#include <string_view>

namespace marquill::host {

// A line of a text: its characters and where the next line starts.
struct TextLine {
  std::string_view text;
  std::size_t next = 0;
  bool ended_by_crlf = false;
};

// The line starting at `at` (< text.size()), ended by CR LF, LF, a lone CR or the end of the
// text. Finds the LF with memchr and checks the few characters before it for a lone CR, which
// keeps a scan of a large file near memory speed.
TextLine LineAt(std::string_view text, std::size_t at);

// Each line of `bytes` (ended by CR LF, LF or a lone CR, or by the end of the text) followed by
// CR LF; "" for an empty text.
std::string LinesEndedByCrLf(std::string_view bytes);

}  // namespace marquill::host

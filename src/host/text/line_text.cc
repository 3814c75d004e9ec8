#include "host/text/line_text.h"

namespace marquill::host {

std::string LinesEndedByCrLf(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + 2);
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", at);
    const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
    text.append(bytes.substr(at, stop - at));
    text.append("\r\n");
    at = stop;
    if (at < bytes.size() && bytes[at++] == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
  }
  return text;
}

}  // namespace marquill::host

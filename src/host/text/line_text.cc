#include "host/text/line_text.h"

#include <cstring>

namespace marquill::host {

TextLine LineAt(std::string_view text, std::size_t at) {
  const char* data = text.data();
  const std::size_t size = text.size();
  const void* lf = std::memchr(data + at, '\n', size - at);
  const std::size_t lf_at =
      lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
  std::size_t end = lf_at;
  const bool crlf = lf != nullptr && end > at && data[end - 1] == '\r';
  if (crlf) --end;
  // A lone CR before the LF (or the end) ends the line there.
  const void* cr = std::memchr(data + at, '\r', end - at);
  if (cr != nullptr) {
    const auto cr_at = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
    const bool pair = cr_at + 1 < size && data[cr_at + 1] == '\n';
    return {text.substr(at, cr_at - at), cr_at + (pair ? 2 : 1), pair};
  }
  return {text.substr(at, end - at), lf != nullptr ? lf_at + 1 : size, crlf};
}

std::string LinesEndedByCrLf(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + 2);
  // Lines that already end in CR LF are copied a run at a time.
  std::size_t run = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const TextLine line = LineAt(bytes, at);
    if (!line.ended_by_crlf) {
      text.append(bytes.substr(run, at - run));
      text.append(line.text);
      text.append("\r\n");
      run = line.next;
    }
    at = line.next;
  }
  text.append(bytes.substr(run, at - run));
  return text;
}

}  // namespace marquill::host

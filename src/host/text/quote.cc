#include "host/text/quote.h"

#include <cstdint>

namespace marquill::host {
namespace {

// The length of the UTF-8 sequence starting at `at`, 0 when the bytes there are not one.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t min = 0;
  std::uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void AppendHex(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = SequenceLength(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string QuoteInput(std::string_view input, std::size_t limit) {
  std::string out;
  std::size_t characters = 0;
  std::size_t at = 0;
  for (; at < input.size() && characters < limit; ++characters) {
    const auto byte = static_cast<unsigned char>(input[at]);
    const std::size_t length = SequenceLength(input, at);
    const bool c1_control =
        length == 2 && byte == 0xC2 && static_cast<unsigned char>(input[at + 1]) < 0xA0;
    if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || byte == 0x7F || length == 0) {
      AppendHex(out, byte);
    } else if (c1_control) {
      AppendHex(out, byte);
      AppendHex(out, static_cast<unsigned char>(input[at + 1]));
    } else {
      out.append(input.substr(at, length));
    }
    at += length == 0 ? 1 : length;
  }
  if (at < input.size()) out += "...";
  return out;
}

}  // namespace marquill::host

// Input quoted in messages. A message may quote a line of a user's file, a file name or an
// option's value: it quotes at most a short piece of it, with control bytes and bytes that are
// not UTF-8 escaped, so a message stays one short line and nothing it quotes acts on a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace marquill::host {

inline constexpr std::size_t kQuoteLimit = 80;

// At most `limit` characters of `input` ("..." after them when it is longer); tab, CR and LF as
// \t \r \n, other control bytes (C0, DEL, C1) and bytes that are not UTF-8 as \xNN.
std::string QuoteInput(std::string_view input, std::size_t limit = kQuoteLimit);

// Whether `bytes` are well-formed UTF-8 (plain ASCII is).
bool IsUtf8(std::string_view bytes);

}  // namespace marquill::host

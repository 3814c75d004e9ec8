#include "host/text/vb_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace marquill::host {

std::int32_t CountOf(std::string_view text, std::string_view find) {
  // An empty needle would match everywhere; nobody asks for that, so it counts nothing.
  if (find.empty()) return 0;
  std::int32_t count = 0;
  for (auto p = text.find(find); p != std::string_view::npos; p = text.find(find, p + 1)) {
    ++count;
  }
  return count;
}

std::string QuoteSql(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 8);
  for (const char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

std::string_view TrimLeadingSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view TrimTrailingSpaces(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::string_view TrimSpaces(std::string_view text) {
  return TrimTrailingSpaces(TrimLeadingSpaces(text));
}

int Indentation(std::string_view line) {
  const auto first = line.find_first_not_of(' ');
  return static_cast<int>(first == std::string_view::npos ? line.size() : first);
}

bool EndsWithContinuation(std::string_view line) { return line.ends_with(kContinuation); }

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int radix) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < radix ? value : -1;
}

[[noreturn]] void Overflow() { throw ConversionError("Overflow"); }

// The leading number of `text` and how many characters it took; nullopt when no number starts
// there. Overflow throws.
struct Scanned {
  double value = 0;
  std::size_t length = 0;
};

// &H and &O numbers read as the language reads such literals: a value that fits 16 bits is an
// Integer (so &HFFFF is -1), else a Long (&HFFFFFFFF is -1); anything wider overflows.
std::optional<Scanned> ScanRadix(std::string_view text) {
  const char kind = text.size() >= 2 ? text[1] : '\0';
  const int radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
  if (radix == 0) return std::nullopt;
  std::uint64_t value = 0;
  std::size_t i = 2;
  for (int digit = 0; i < text.size() && (digit = DigitValue(text[i], radix)) >= 0; ++i) {
    value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) Overflow();
  }
  if (i == 2) return std::nullopt;
  double result = 0;
  if (value <= 0xFFFFu) {
    result = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  } else {
    result = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  return Scanned{result, i};
}

// Whether a decimal number that from_chars could not represent is too large (as opposed to too
// small, which reads as zero): the position of its first significant digit decides.
bool TooLarge(std::string_view digits, long long exponent) {
  const auto point = digits.find('.');
  const std::string_view whole = digits.substr(0, point);
  const auto first = whole.find_first_not_of('0');
  if (first != std::string_view::npos) {
    return static_cast<long long>(whole.size() - first) + exponent > 0;
  }
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : digits.substr(point + 1);
  const auto leading_zeros = fraction.find_first_not_of('0');
  return exponent - static_cast<long long>(leading_zeros) > 0;
}

std::optional<Scanned> ScanDecimal(std::string_view text) {
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const std::size_t mantissa_start = i;
  std::size_t digit_count = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) ++digit_count;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digit_count;
  }
  if (digit_count == 0) return std::nullopt;
  const std::string_view mantissa = text.substr(mantissa_start, i - mantissa_start);

  // The exponent counts only when digits follow its letter (and optional sign).
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    const bool exp_negative = j < text.size() && text[j] == '-';
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
      }
      if (exp_negative) exponent = -exponent;
      i = j;
    }
  }

  std::string normal(mantissa);
  if (normal.front() == '.') normal.insert(normal.begin(), '0');
  normal += 'e';
  normal += std::to_string(exponent);
  double value = 0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (TooLarge(mantissa, exponent)) Overflow();
    value = 0;
  } else if (error != std::errc{} || end != normal.data() + normal.size()) {
    return std::nullopt;
  }
  return Scanned{negative ? -value : value, i};
}

std::optional<Scanned> ScanNumber(std::string_view text) {
  if (!text.empty() && text[0] == '&') return ScanRadix(text);
  return ScanDecimal(text);
}

double ToWhole(std::string_view text, double low, double high) {
  const double value = RoundHalfEven(CDbl(text));
  if (value < low || value > high) Overflow();
  return value;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = FoldAscii(c);
  return lower;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

double Val(std::string_view text) {
  // Blanks, tabs and line feeds are dropped wherever they stand: Val("1 2") is 12.
  std::string packed;
  packed.reserve(text.size());
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') packed += c;
  }
  const auto scanned = ScanNumber(packed);
  return scanned ? scanned->value : 0.0;
}

double RoundHalfEven(double value) {
  if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
  return std::round(value);
}

double CDbl(std::string_view text) {
  const std::string_view number = TrimBlanks(text);
  const auto scanned = ScanNumber(number);
  if (!scanned || scanned->length != number.size()) {
    throw ConversionError("Type mismatch: \"" + std::string(text) + "\" is not a number");
  }
  return scanned->value;
}

std::int32_t CLng(std::string_view text) {
  return static_cast<std::int32_t>(ToWhole(text, std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max()));
}

std::int16_t CInt(std::string_view text) {
  return static_cast<std::int16_t>(ToWhole(text, std::numeric_limits<std::int16_t>::min(),
                                           std::numeric_limits<std::int16_t>::max()));
}

std::string NumberText(double value) {
  if (value == 0) return "0";  // also for -0, which the language never shows
  // Fifteen significant digits, exponent form from 1E+15 up and below 1E-04: the rules of %.15G.
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, 15);
  std::string text(buffer.data(), result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

namespace {

// The field's number is read from "0" followed by its text, so a leading sign stops the reading.
double FieldNumber(std::string_view text) {
  std::string padded;
  padded.reserve(text.size() + 1);
  padded += '0';
  padded += text;
  return Val(padded);
}

}  // namespace

std::string DecimalFieldText(std::string_view text) { return NumberText(FieldNumber(text)); }

std::string WholeNumberFieldText(std::string_view text) {
  return NumberText(RoundHalfEven(FieldNumber(text)));
}

}  // namespace marquill::host

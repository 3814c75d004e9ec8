// Text and number helpers with the language's own semantics, in one place.
//
// Code text is bytes in the machine's code page and is never decoded: every helper works on
// bytes, compares exact-case and trims the space character only, never tabs.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace marquill::host {

// The line-continuation mark: a line whose last two characters are these goes on below.
inline constexpr std::string_view kContinuation = " _";
inline constexpr std::string_view kLineBreak = "\r\n";  // CR LF, the IDE's line break

// A text that does not read as a number where one is required (CLng("12a"), CDbl("")).
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Occurrences of `find` in `text`, searching again one position after each match, so matches
// may overlap: "aaa" holds "aa" twice. An empty `find` counts 0.
std::int32_t CountOf(std::string_view text, std::string_view find);

// `text` with every apostrophe doubled, for a value placed between single quotes in SQL.
std::string QuoteSql(std::string_view text);

// Trimming removes the space character (code 32) only.
std::string_view TrimSpaces(std::string_view text);
std::string_view TrimLeadingSpaces(std::string_view text);
std::string_view TrimTrailingSpaces(std::string_view text);
// Trims blanks (spaces and tabs): for the layout of project files, not for code.
std::string_view TrimBlanks(std::string_view text);

// ASCII-only case folding: names are bytes in an unknown code page.
std::string LowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Number of spaces (code 32) at the start of `line`.
int Indentation(std::string_view line);
bool EndsWithContinuation(std::string_view line);

// The leading number of a text, 0 when there is none: Val("12a") is 12, Val(" -1.5e1x") is -15.
// Blanks, tabs and line feeds are skipped anywhere ("1 2" is 12); &H and &O prefixes read hex and
// octal. ConversionError when the number is too large for a Double.
double Val(std::string_view text);

// Rounds halves to the even neighbour, as the language's integer conversions do.
double RoundHalfEven(double value);

// Strict conversions of a whole text, blanks around it allowed; ConversionError when it is not a
// number or does not fit. CLng and CInt round halves to even.
double CDbl(std::string_view text);
std::int32_t CLng(std::string_view text);
std::int16_t CInt(std::string_view text);

// The decimal form the language gives a number: 80, 1.5, -0.25, 1E+20, 1E-05. Fifteen
// significant digits; negative zero prints as 0.
std::string NumberText(double value);

// What a self-normalising number field shows after an edit: the number read from "0" followed by
// the text, in decimal form. So "" gives "0", "12ab" gives "12", "-3" gives "0" (reading stops at
// the minus), "1.5" stays. Applying it again changes nothing.
std::string DecimalFieldText(std::string_view text);
// The same for a count field, rounded to a whole number with halves to even: "007" gives "7",
// "2.5" gives "2".
std::string WholeNumberFieldText(std::string_view text);

}  // namespace marquill::host

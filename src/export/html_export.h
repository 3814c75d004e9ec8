// Code written as an HTML page, with keywords and comments coloured on request.
//
// The page is thirteen lines; the code sits in a pre element. Code text is escaped ("&", "<" and
// ">") before it is coloured: the escapes hold no quote, apostrophe, space, line break or
// bracket, so the keyword and comment passes find exactly what they would find in the raw code,
// and the page shows the code as it stands.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"

namespace marquill::exporter {

// The two keyword lists of the colouring, in the order their replacements run.
struct KeywordTables {
  std::vector<std::string> code;   // wrapped between spaces and line breaks
  std::vector<std::string> types;  // wrapped after "(" and before "," or ")"
};

// The lists the window builds when it loads.
KeywordTables BuildKeywordTables();

inline constexpr std::string_view kKeywordSpanOpen = "<span class=\"keyword\">";
inline constexpr std::string_view kCommentSpanOpen = "<span class=\"comment\">";
inline constexpr std::string_view kSpanClose = "</span>";

// "&", "<" and ">" as entities; nothing else changes.
std::string EscapeHtml(std::string_view text);

// Colours `text`, lines separated by CR LF: keyword spans, then comment spans from the first
// apostrophe outside string literals to the end of each line, consecutive whole-line comments
// joined into one span. Every line of the result ends in CR LF. Costs O(n): each line is worked
// on its own, and only with the keywords it holds.
std::string ColorCode(std::string_view text, const KeywordTables& keywords);

// What of a module is exported.
struct ExportScope {
  // Empty: the whole module. Otherwise the member of that name and type; members that are
  // neither methods nor properties give no code.
  std::string member;
  host::MemberType type = host::MemberType::kMethod;
};

// The code of `scope`, each line followed by CR LF. A property's procedures follow one another
// in the order Get, Let, Set; a kind the module does not have is skipped. HostError when the
// module cannot be read.
std::string CollectCode(const host::CodeModule& module, const ExportScope& scope);

// The whole page for `code` (lines each followed by CR LF), coloured when `colors`.
std::string HtmlPage(std::string_view code, bool colors, const KeywordTables& keywords);

}  // namespace marquill::exporter

#include "export/html_export.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace marquill::exporter {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Every occurrence of `find`, left to right and not overlapping, replaced by `with`.
void ReplaceAll(std::string& text, std::string_view find, std::string_view with) {
  std::size_t at = text.find(find);
  if (at == std::string::npos) return;
  std::string out;
  out.reserve(text.size() + with.size() * 2);
  std::size_t from = 0;
  while (at != std::string::npos) {
    out.append(text, from, at - from);
    out.append(with);
    from = at + find.size();
    at = text.find(find, from);
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

std::string KeywordSpan(std::string_view keyword) {
  std::string span(kKeywordSpanOpen);
  span.append(keyword);
  span.append(kSpanClose);
  return span;
}

void CodeKeywordPass(std::string& text, std::string_view keyword) {
  const std::string span = KeywordSpan(keyword);
  const std::string br(kLineBreak);
  ReplaceAll(text, br + std::string(keyword) + " ", br + span + " ");
  ReplaceAll(text, " " + std::string(keyword) + " ", " " + span + " ");
  ReplaceAll(text, " " + std::string(keyword) + br, " " + span + br);
}

void TypeKeywordPass(std::string& text, std::string_view keyword) {
  const std::string span = KeywordSpan(keyword);
  ReplaceAll(text, "(" + std::string(keyword), "(" + span);
  ReplaceAll(text, std::string(keyword) + ",", span + ",");
  ReplaceAll(text, std::string(keyword) + ")", span + ")");
}

const std::string kSharedSpanGap = std::string(kSpanClose) + " " + std::string(kKeywordSpanOpen);

// Finds the keywords a line holds by their first two characters; every keyword starts with a
// capital letter, so only the places of capitals are looked at.
class KeywordIndex {
 public:
  explicit KeywordIndex(const KeywordTables& keywords) : keywords_(keywords) {
    slot_.fill(0);
    const std::size_t total = keywords.code.size() + keywords.types.size();
    for (std::size_t id = 0; id < total; ++id) {
      const std::string& word = Word(id);
      if (word.size() < 2) continue;  // none is; a one-letter word would need a scan of its own
      std::uint8_t& slot = slot_[Key(word[0], word[1])];
      if (slot == 0) {
        groups_.emplace_back();
        slot = static_cast<std::uint8_t>(groups_.size());
      }
      groups_[slot - 1].push_back(static_cast<int>(id));
    }
  }

  // The ids (code keywords first, then type keywords, each in list order) found in `line`.
  void Find(std::string_view line, std::vector<int>& found) const {
    found.clear();
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      const char c = line[i];
      if (c < 'A' || c > 'Z') continue;
      const std::uint8_t slot = slot_[Key(c, line[i + 1])];
      if (slot == 0) continue;
      for (int id : groups_[slot - 1]) {
        if (line.compare(i, Word(id).size(), Word(id)) == 0) found.push_back(id);
      }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
  }

  bool IsCode(int id) const { return static_cast<std::size_t>(id) < keywords_.code.size(); }
  const std::string& Word(std::size_t id) const {
    return id < keywords_.code.size() ? keywords_.code[id]
                                      : keywords_.types[id - keywords_.code.size()];
  }

 private:
  static std::size_t Key(char a, char b) {
    return static_cast<unsigned char>(a) * 256u + static_cast<unsigned char>(b);
  }

  const KeywordTables& keywords_;
  std::array<std::uint8_t, 65536> slot_;
  std::vector<std::vector<int>> groups_;
};

std::string WithoutKeywordSpans(std::string text) {
  ReplaceAll(text, kKeywordSpanOpen, "");
  ReplaceAll(text, kSpanClose, "");
  return text;
}

// The comment start of a line: the first apostrophe with an even number of double quotes
// before it.
std::size_t CommentStart(std::string_view line) {
  int quotes = 0;
  std::size_t counted = 0;
  for (std::size_t at = line.find('\''); at != std::string_view::npos;
       at = line.find('\'', at + 1)) {
    quotes += static_cast<int>(std::count(line.begin() + counted, line.begin() + at, '"'));
    counted = at;
    if (quotes % 2 == 0) return at;
  }
  return std::string_view::npos;
}

}  // namespace

KeywordTables BuildKeywordTables() {
  return KeywordTables{
      {"GoSub",
       "Return",
       "GoTo",
       "On Error",
       "On GoSub",
       "DoEvents",
       "End",
       "Exit",
       "Stop",
       "Loop",
       "Do",
       "For",
       "Next",
       "Step",
       "Each",
       "While",
       "Wend",
       "With",
       "If",
       "Then",
       "Else",
       "Select",
       "Case",
       "Call",
       "Function",
       "Property Get",
       "Property Let",
       "Property Set",
       "Sub",
       "Resume",
       "Open",
       "Close",
       "Reset",
       "Seek",
       "Print",
       "Put",
       "Write",
       "Not",
       "And",
       "Or",
       "Xor",
       "Eqv",
       "Imp",
       "Is",
       "Nothing",
       "Like",
       "Option Compare",
       "Option Explicit",
       "Declare",
       "Option Private Module",
       "Type",
       "Enum",
       "Const",
       "Dim",
       "Private",
       "Public",
       "New",
       "Static",
       "As",
       "Implements",
       "Set",
       "To",
       "In",
       "ElseIf",
       "Boolean",
       "Lib",
       "Alias",
       "Any",
       "Byte",
       "Currency",
       "Date",
       "Double",
       "Integer",
       "Long",
       "Object",
       "Single",
       "String",
       "Variant",
       "ByVal",
       "ByRef",
       "Debug.Print",
       "Debug.Assert",
       "Until"},
      {"CBool", "CByte",  "CCur",   "CDate",   "CDbl",    "CDec",     "CInt", "CLng",   "CSng",
       "CStr",  "CVar",   "CVErr",  "Boolean", "Byte",    "Currency", "Date", "Double", "Integer",
       "Long",  "Object", "Single", "String",  "Variant", "ByVal",    "ByRef"}};
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Every replacement of the keyword passes stays within one line and the line breaks on either
// side of it, and never adds a capital letter outside a keyword it wraps; so each line is
// coloured on its own, between its own line breaks, with only the keywords it holds, and comes
// out as the whole text's passes would leave it.
std::string ColorCode(std::string_view text, const KeywordTables& keywords) {
  const KeywordIndex index(keywords);
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  std::vector<int> found;
  std::string segment;
  bool previous_had_comment = false;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find(kLineBreak, from);
    const std::string_view line =
        text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
    index.Find(line, found);
    std::string_view coloured = line;
    if (!found.empty()) {
      const bool after_break = from > 0;
      const bool before_break = end != std::string_view::npos;
      segment.assign(after_break ? kLineBreak : "");
      segment.append(line);
      if (before_break) segment.append(kLineBreak);
      for (int id : found) {
        if (index.IsCode(id)) {
          CodeKeywordPass(segment, index.Word(id));
        } else {
          TypeKeywordPass(segment, index.Word(id));
        }
      }
      ReplaceAll(segment, kSharedSpanGap, " ");
      const std::size_t head = after_break ? kLineBreak.size() : 0;
      const std::size_t tail = before_break ? kLineBreak.size() : 0;
      coloured = std::string_view(segment).substr(head, segment.size() - head - tail);
    }
    const std::size_t comment = CommentStart(coloured);
    if (comment == std::string_view::npos) {
      out.append(coloured);
      previous_had_comment = false;
    } else {
      if (comment == 0 && previous_had_comment) {
        // A whole-line comment under a comment joins its span.
        out.resize(out.size() - kSpanClose.size() - kLineBreak.size());
        out.append(kLineBreak);
      } else {
        out.append(coloured.substr(0, comment));
        out.append(kCommentSpanOpen);
      }
      out.append(WithoutKeywordSpans(std::string(coloured.substr(comment))));
      out.append(kSpanClose);
      previous_had_comment = true;
    }
    out.append(kLineBreak);
    if (end == std::string_view::npos) break;
    from = end + kLineBreak.size();
  }
  return out;
}

std::string CollectCode(const host::CodeModule& module, const ExportScope& scope) {
  auto lines_of = [&](int start, int count) {
    if (start <= 0 || count <= 0) return std::string();
    return module.Lines(start, count) + std::string(kLineBreak);
  };
  if (scope.member.empty()) return lines_of(1, module.CountOfLines());
  std::string code;
  auto add_kind = [&](host::ProcKind kind) {
    try {
      code += lines_of(module.ProcStartLine(scope.member, kind),
                       module.ProcCountLines(scope.member, kind));
    } catch (const host::HostError&) {
      // The member has no procedure of this kind.
    }
  };
  if (scope.type == host::MemberType::kMethod) {
    add_kind(host::ProcKind::kProc);
  } else if (scope.type == host::MemberType::kProperty) {
    add_kind(host::ProcKind::kGet);
    add_kind(host::ProcKind::kLet);
    add_kind(host::ProcKind::kSet);
  }
  return code;
}

std::string HtmlPage(std::string_view code, bool colors, const KeywordTables& keywords) {
  const std::string escaped = EscapeHtml(code);
  std::string body = colors ? ColorCode(std::string(kLineBreak) + escaped, keywords) : escaped;
  const std::string_view head[] = {
      "<HTML>",
      "<HEAD>",
      "<META NAME=\"GENERATOR\" Content=\"VB Marquill Add-In\">",
      "<style type=\"text/css\"><!--",
      "body,a,li {  font-family: \"Verdana\"; font-size: 10pt}",
      "pre {  font-family: \"Courier New\", Courier; font-size: 10pt}",
      ".keyword {  font-family: \"Courier New\", Courier; font-size: 10pt; color: #000099}",
      ".comment { font-family: \"Courier New\", Courier; font-size: 10pt; color: #009900 }",
      "--></style></HEAD>",
      "<BODY>"};
  std::string page;
  page.reserve(body.size() + 512);
  for (std::string_view line : head) {
    page.append(line);
    page.append(kLineBreak);
  }
  page.append("<pre>");
  page.append(body);
  page.append("</pre>");
  page.append(kLineBreak);
  page.append("</BODY>");
  page.append(kLineBreak);
  page.append("</HTML>");
  page.append(kLineBreak);
  return page;
}

}  // namespace marquill::exporter

#include "transform/line_cleanup.h"

#include "host/text/vb_text.h"
#include "transform/code_text.h"

namespace marquill::transform {
namespace {

constexpr std::string_view kJoinedConstants = "\" & \"";

bool IsEmptyRow(std::string_view line) { return host::TrimSpaces(line).empty(); }

}  // namespace

void DelEmptyRows(host::CodeModule& module, int first, int last, bool delete_all) {
  // Visiting bottom-up, the first row of a run met is its last one: it stays unless "all".
  bool delete_next = delete_all;
  for (int i = last; i >= first; --i) {
    if (IsEmptyRow(module.Line(i))) {
      if (delete_next) module.DeleteLines(i, 1);
      delete_next = true;
    } else {
      delete_next = delete_all;
    }
  }
}

void DelComments(host::CodeModule& module, int first, int last) {
  for (int i = last; i >= first; --i) {
    const std::string line = module.Line(i);
    const std::size_t start = CommentStart(line);
    if (start != std::string_view::npos) module.ReplaceLine(i, line.substr(0, start));
  }
}

std::string CompactLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  bool in_string = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (!in_string) {
      if (c == '\'') {  // the rest is a comment: leave it as written
        out.append(line.substr(i));
        return out;
      }
      in_string = c == '"';
      out += c;
      continue;
    }
    if (c != '"') {
      out += c;
      continue;
    }
    if (i + 1 < line.size() && line[i + 1] == '"') {  // a doubled quote stays inside the literal
      out += "\"\"";
      ++i;
      continue;
    }
    if (line.substr(i, kJoinedConstants.size()) == kJoinedConstants) {
      // Drop this closing quote, the operator and the next literal's opening quote: the text
      // goes on inside one literal.
      i += kJoinedConstants.size() - 1;
      continue;
    }
    out += c;
    in_string = false;
  }
  return out;
}

void CompactStrings(host::CodeModule& module, int first, int last) {
  for (int i = last; i >= first; --i) module.ReplaceLine(i, CompactLine(module.Line(i)));
}

}  // namespace marquill::transform

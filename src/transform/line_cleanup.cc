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
    if (!in_string && c == '\'') {  // the rest is a comment: leave it as written
      out.append(line.substr(i));
      break;
    }
    // A quote that closes a literal and is followed by ` & "` joins two constants: drop it, the
    // operator and the next opening quote, and go on inside one literal. A doubled quote inside
    // a literal closes and reopens it, so it never starts the sequence.
    if (in_string && c == '"' && line.substr(i, kJoinedConstants.size()) == kJoinedConstants) {
      i += kJoinedConstants.size() - 1;
      continue;
    }
    if (c == '"') in_string = !in_string;
    out += c;
  }
  return out;
}

void CompactStrings(host::CodeModule& module, int first, int last) {
  for (int i = last; i >= first; --i) {
    std::string line = module.Line(i);
    // Most lines hold no joined constants: write them back as read.
    if (line.find(kJoinedConstants) != std::string::npos) line = CompactLine(line);
    module.ReplaceLine(i, line);
  }
}

}  // namespace marquill::transform

#include "transform/error_handlers.h"

#include <algorithm>
#include <optional>

#include "host/ignore_errors.h"
#include "host/text/vb_text.h"

namespace marquill::transform {
namespace {

using host::CodeModule;
using host::MemberType;
using host::ProcKind;

// A property is handled as its Get, Let and Set procedures, in that order.
constexpr ProcKind kPropertyKinds[] = {ProcKind::kGet, ProcKind::kLet, ProcKind::kSet};

enum class Flavour { kSub, kFunction, kProperty };

std::string_view EndText(Flavour flavour) {
  switch (flavour) {
    case Flavour::kSub:
      return "End Sub";
    case Flavour::kFunction:
      return "End Function";
    case Flavour::kProperty:
      return "End Property";
  }
  return "";
}

std::string_view ExitText(Flavour flavour) {
  switch (flavour) {
    case Flavour::kSub:
      return "Exit Sub";
    case Flavour::kFunction:
      return "Exit Function";
    case Flavour::kProperty:
      return "Exit Property";
  }
  return "";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool IsCommentLine(std::string_view line) {
  const std::string_view rest = SkipBlanks(line);
  return !rest.empty() && rest.front() == '\'';
}

bool IsHeaderLine(std::string_view line, bool property) {
  if (IsCommentLine(line)) return false;
  if (property) return Contains(line, "Property");
  return Contains(line, "Function") || Contains(line, "Sub");
}

// The first word of `text` and what follows it.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end]) && text[end] != '(') ++end;
  return {text.substr(0, end), text.substr(end)};
}

// What a declaration line declares, by the keyword after its modifiers: a Sub whose name holds
// "Function" is still a Sub. Nothing when the line declares no procedure (an End line, or a line
// the search met before the real declaration).
std::optional<Flavour> DeclaredFlavour(std::string_view line) {
  std::string_view rest = SkipBlanks(line);
  for (;;) {
    const auto [word, after] = FirstWord(rest);
    if (host::EqualsNoCase(word, "Sub")) return Flavour::kSub;
    if (host::EqualsNoCase(word, "Function")) return Flavour::kFunction;
    if (host::EqualsNoCase(word, "Property")) return Flavour::kProperty;
    const bool modifier = host::EqualsNoCase(word, "Public") ||
                          host::EqualsNoCase(word, "Private") ||
                          host::EqualsNoCase(word, "Friend") || host::EqualsNoCase(word, "Static");
    if (!modifier) return std::nullopt;
    rest = SkipBlanks(after);
  }
}

bool IsEndStatement(std::string_view statement) {
  const std::string_view text = SkipBlanks(statement);
  for (std::string_view end : {"End Sub", "End Function", "End Property"}) {
    if (text.starts_with(end) && (text.size() == end.size() || IsBlank(text[end.size()]))) {
      return true;
    }
  }
  return false;
}

// Whether a declaration's logical line also ends the procedure: `Sub A(): x = 1: End Sub`.
bool EndsOnItsLine(std::string_view logical) {
  bool in_string = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < logical.size(); ++i) {
    const char c = logical[i];
    if (c == '"') in_string = !in_string;
    if (in_string) continue;
    if (c == '\'') return IsEndStatement(logical.substr(start, i - start));
    if (c == ':') {
      if (IsEndStatement(logical.substr(start, i - start))) return true;
      start = i + 1;
    }
  }
  return IsEndStatement(logical.substr(start));
}

bool IsEndLine(std::string_view line, Flavour flavour) {
  return SkipBlanks(line).starts_with(EndText(flavour));
}

struct Range {
  int first = 0;
  int last = 0;
};

Range ProcRange(const CodeModule& module, std::string_view name, ProcKind kind) {
  const int start = module.ProcStartLine(name, kind);
  return {start, start + module.ProcCountLines(name, kind) - 1};
}

struct Declaration {
  int last = 0;  // the declaration's last line: inserting before last + 1 puts a line under it
  Flavour flavour = Flavour::kSub;
};

// Header search from `from` and continuation skip, for the procedure (name, kind). Nothing when
// the search does not stop on the line the host reports as the procedure's own declaration: an
// event or a Declare has none, and a search from it would run into the next procedure; a stray
// line holding the keyword above the declaration, or a declaration the search does not see,
// would put the statement outside the body. Nothing either when the declaration runs past the
// module's last line, or when the procedure ends on its declaration's line.
std::optional<Declaration> FindDeclaration(const CodeModule& module, std::string_view name,
                                           ProcKind kind, int from) {
  const int own = module.ProcBodyLine(name, kind);
  const bool property = kind != ProcKind::kProc;
  const int count = module.CountOfLines();
  int first = from;
  while (first < own && !IsHeaderLine(module.Line(first), property)) ++first;
  if (first != own || own > count || !IsHeaderLine(module.Line(own), property)) {
    return std::nullopt;
  }
  const std::string first_line = module.Line(first);
  const std::optional<Flavour> flavour = DeclaredFlavour(first_line);
  if (!flavour || (*flavour == Flavour::kProperty) != property) return std::nullopt;

  std::string line = first_line;
  std::string logical;  // the declaration's lines joined, each without its "_"
  int last = first;
  while (host::EndsWithContinuation(line)) {
    if (last == count) return std::nullopt;
    logical.append(line, 0, line.size() - 1);
    line = module.Line(++last);
  }
  logical += line;
  if (EndsOnItsLine(logical)) return std::nullopt;
  return Declaration{last, *flavour};
}

// The End line of the procedure, searched from the range's last line up to the declaration; 0
// when there is none.
int FindEndLine(const CodeModule& module, std::string_view name, ProcKind kind,
                const Declaration& declaration) {
  const Range range = ProcRange(module, name, kind);
  for (int line = std::min(range.last, module.CountOfLines()); line > declaration.last; --line) {
    if (IsEndLine(module.Line(line), declaration.flavour)) return line;
  }
  return 0;
}

void InsertResumeNextAt(CodeModule& module, std::string_view name, ProcKind kind, int from) {
  const std::optional<Declaration> declaration = FindDeclaration(module, name, kind, from);
  if (declaration) module.InsertLines(declaration->last + 1, kResumeNext);
}

void InsertCustomAt(CodeModule& module, std::string_view name, ProcKind kind, int from,
                    const CustomHandler& handler) {
  const std::optional<Declaration> declaration = FindDeclaration(module, name, kind, from);
  if (!declaration) return;
  const int goto_line = declaration->last + 1;
  module.InsertLines(goto_line, std::string(kGoTo) + handler.label);
  int end = 0;
  try {
    end = FindEndLine(module, name, kind, *declaration);
  } catch (const host::HostError&) {
  }
  if (end == 0) {
    // A GoTo without its label does not compile: leave the procedure as it was.
    module.DeleteLines(goto_line, 1);
    return;
  }
  // Each insertion goes before the End line, so they read exit, label, body, End.
  module.InsertLines(end, handler.body);
  module.InsertLines(end, handler.label + ":");
  module.InsertLines(end, ExitText(declaration->flavour));
}

// The start line of a property's procedure of `kind`, 0 when the property lacks it.
int PropertyStart(const CodeModule& module, std::string_view name, ProcKind kind) {
  try {
    return module.ProcStartLine(name, kind);
  } catch (const host::HostError&) {
    return 0;
  }
}

template <class Visit>
void ForEachPropertyProcedure(CodeModule& module, std::string_view name, Visit&& visit) {
  for (ProcKind kind : kPropertyKinds) {
    host::Step([&] {
      const int start = PropertyStart(module, name, kind);
      if (start > 0) visit(kind, start);
    });
  }
}

// The component scope's walk: methods and events from their code location, properties from the
// start of each of their procedures. Every location is asked when its member's turn comes.
template <class Visit>
void ForEachProcedure(CodeModule& module, Visit&& visit) {
  host::Members& members = module.Members();
  const int count = members.Count();
  for (int index = 1; index <= count; ++index) {
    host::Step([&] {
      host::Member& member = members.Item(index);
      const std::string name = member.Name();
      switch (member.Type()) {
        case MemberType::kMethod:
        case MemberType::kEvent:
          visit(name, ProcKind::kProc, member.CodeLocation());
          break;
        case MemberType::kProperty:
          ForEachPropertyProcedure(module, name,
                                   [&](ProcKind kind, int start) { visit(name, kind, start); });
          break;
        default:
          break;
      }
    });
  }
}

// The member scope: a method from the start of its range, a property as in the component scope.
template <class Visit>
void ForMember(CodeModule& module, std::string_view name, MemberType type, Visit&& visit) {
  if (type == MemberType::kMethod) {
    const int start = module.ProcStartLine(name, ProcKind::kProc);
    if (start > 0) visit(name, ProcKind::kProc, start);
  } else if (type == MemberType::kProperty) {
    ForEachPropertyProcedure(module, name,
                             [&](ProcKind kind, int start) { visit(name, kind, start); });
  }
}

void RemoveInLines(CodeModule& module, int first, int last) {
  // Bottom-up, so a deletion never moves a line still to be examined.
  for (int line = last; line >= first; --line) {
    RemoveResult result = RemoveFromLine(module.Line(line));
    if (result.action == RemoveResult::Action::kDelete) {
      module.DeleteLines(line, 1);
    } else if (result.action == RemoveResult::Action::kReplace) {
      module.ReplaceLine(line, result.replacement);
    }
  }
}

void RemoveInProcedure(CodeModule& module, std::string_view name, ProcKind kind) {
  const Range range = ProcRange(module, name, kind);
  RemoveInLines(module, range.first, range.last);
}

}  // namespace

std::string HandlerBody(HandlerStyle style, std::string_view call_name) {
  std::string body;
  switch (style) {
    case HandlerStyle::kMsgBox:
      body = "    MsgBox Err.Number & \" # \" & Err.Description,,\"Error\"";
      break;
    case HandlerStyle::kDebugPrint:
      body = "    Debug.Print Err.Number & \" # \" & Err.Description";
      break;
    case HandlerStyle::kCall:
      body = "    Call ";
      body += call_name;
      body += "(Err.Number , Err.Description)";
      break;
  }
  body += host::kLineBreak;
  body += "    Resume Next";
  return body;
}

RemoveResult RemoveFromLine(std::string_view line) {
  const std::string_view statement = host::TrimLeadingSpaces(line);
  if (!statement.starts_with(kResumeNext)) return {};
  const std::string_view rest = host::TrimLeadingSpaces(statement.substr(kResumeNext.size()));
  if (!rest.starts_with(':')) return {RemoveResult::Action::kDelete, {}};
  // The statements after the colon are code of their own: keep them where the statement stood.
  const std::string_view after = host::TrimLeadingSpaces(rest.substr(1));
  if (host::TrimSpaces(after).empty() || after.front() == '\'') {
    return {RemoveResult::Action::kDelete, {}};
  }
  std::string kept(line.substr(0, line.size() - statement.size()));
  kept += after;
  return {RemoveResult::Action::kReplace, std::move(kept)};
}

void RemoveResumeNext(CodeModule& module) { RemoveInLines(module, 1, module.CountOfLines()); }

void InsertResumeNext(CodeModule& module) {
  ForEachProcedure(module, [&](std::string_view name, ProcKind kind, int from) {
    InsertResumeNextAt(module, name, kind, from);
  });
}

void InsertCustomHandlers(CodeModule& module, const CustomHandler& handler) {
  ForEachProcedure(module, [&](std::string_view name, ProcKind kind, int from) {
    InsertCustomAt(module, name, kind, from, handler);
  });
}

void RemoveResumeNext(CodeModule& module, std::string_view name, MemberType type) {
  if (type == MemberType::kMethod) {
    RemoveInProcedure(module, name, ProcKind::kProc);
  } else if (type == MemberType::kProperty) {
    for (ProcKind kind : kPropertyKinds) {
      host::Step([&] { RemoveInProcedure(module, name, kind); });
    }
  }
}

void InsertResumeNext(CodeModule& module, std::string_view name, MemberType type) {
  ForMember(module, name, type, [&](std::string_view member, ProcKind kind, int from) {
    InsertResumeNextAt(module, member, kind, from);
  });
}

void InsertCustomHandler(CodeModule& module, std::string_view name, MemberType type,
                         const CustomHandler& handler) {
  ForMember(module, name, type, [&](std::string_view member, ProcKind kind, int from) {
    InsertCustomAt(module, member, kind, from, handler);
  });
}

}  // namespace marquill::transform

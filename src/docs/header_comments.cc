#include "docs/header_comments.h"

#include <array>

#include "host/ignore_errors.h"
#include "host/text/vb_text.h"

namespace marquill::docs {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The words of `text`, split at blanks.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::string_view TrimBlanksOf(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The keyword of a declaration decides its flavour; a name or parameter that merely contains
// "Function" or "Sub" does not. Only the words before the parameter list are looked at.
void ReadKeyword(std::string_view head, Declaration& declaration) {
  const std::vector<std::string_view> words = Words(head);
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "Sub") {
      declaration.flavour = Flavour::kSub;
      return;
    }
    if (words[i] == "Function") {
      declaration.flavour = Flavour::kFunction;
      declaration.returns_value = true;
      return;
    }
    if (words[i] == "Property") {
      declaration.flavour = Flavour::kProperty;
      // Let and Set only take a value; Get is the one that returns it.
      declaration.returns_value = i + 1 < words.size() && words[i + 1] == "Get";
      return;
    }
  }
}

// The parameters between the parenthesis at `open` and its partner. Commas inside nested
// parentheses (array bounds) or string literals (default values) do not separate parameters.
std::vector<std::string> ReadParameters(std::string_view text, std::size_t open) {
  std::vector<std::string> parts;
  std::size_t start = open + 1;
  std::size_t end = text.size();
  int depth = 1;
  bool in_string = false;
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') in_string = !in_string;
    if (in_string) continue;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) {
      end = i;
      break;
    }
    if (c == ',' && depth == 1) {
      parts.emplace_back(TrimBlanksOf(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  const std::string_view last = TrimBlanksOf(text.substr(start, end - start));
  // An empty list gives no parameter at all, not one empty one.
  if (!parts.empty() || !last.empty()) parts.emplace_back(last);
  return parts;
}

std::string WithoutFinalBreak(std::string text) {
  if (text.ends_with(kCrLf)) text.resize(text.size() - kCrLf.size());
  return text;
}

std::string_view FlavourWord(Flavour flavour) {
  switch (flavour) {
    case Flavour::kFunction:
      return "Function";
    case Flavour::kProperty:
      return "Property";
    case Flavour::kSub:
      break;
  }
  return "Sub";
}

void RemoveAll(std::string& text, std::string_view what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
}

}  // namespace

std::optional<std::string> DelimiterLine(const CommentSettings& settings) {
  if (!settings.delimiters || settings.delim.empty() || settings.delim_count.empty()) {
    return std::nullopt;
  }
  return "' " + std::string(static_cast<std::size_t>(DelimCount(settings.delim_count)),
                            settings.delim.front());
}

std::string ModuleHeader(const CommentSettings& settings) {
  if (!settings.module_comments || settings.module_template.empty()) return "";
  if (auto line = DelimiterLine(settings)) {
    return *line + std::string(kCrLf) + settings.module_template + std::string(kCrLf) + *line;
  }
  return settings.module_template;
}

Declaration ParseDeclaration(std::string_view declaration) {
  const std::string_view text = host::TrimSpaces(declaration);
  const std::size_t open = text.find('(');
  Declaration parsed;
  ReadKeyword(text.substr(0, open), parsed);
  if (open != std::string_view::npos) parsed.parameters = ReadParameters(text, open);
  return parsed;
}

std::string ParameterLine(std::string_view parameter) {
  // A default value comes last and may hold anything; the name stands before it.
  const std::string_view head = parameter.substr(0, parameter.find('='));
  bool by_value = false;
  std::string name;
  for (std::string_view word : Words(head)) {
    if (word == "As") break;
    if (word == "ByVal") by_value = true;
    if (word == "ByVal" || word == "ByRef" || word == "Optional" || word == "ParamArray") continue;
    if (!name.empty()) name += ' ';
    name += word;
  }
  return std::string(by_value ? "'    [in] " : "'    [out] ") + name;
}

std::string MemberHeader(std::string_view name, const Declaration& declaration,
                         const CommentSettings& settings) {
  std::string header = "' " + std::string(name) + " (" +
                       std::string(FlavourWord(declaration.flavour)) + ") description:\r\n'\r\n";
  if (!declaration.parameters.empty()) {
    header += "' Parameters: \r\n";
    for (const std::string& parameter : declaration.parameters) {
      header += ParameterLine(parameter) + std::string(kCrLf);
    }
  }
  if (declaration.returns_value) header += "'\r\n' Return: \r\n'\r\n";
  if (settings.also && !settings.member_line.empty()) {
    header += settings.member_line + std::string(kCrLf);
  }
  if (auto line = DelimiterLine(settings)) header = *line + std::string(kCrLf) + header + *line;
  return header;
}

void ExtractParams(host::CodeModule& co, std::string_view sName, host::ProcKind t,
                   const CommentSettings& settings) {
  // The host knows where the declaration starts, past any comments above it, whatever they say.
  const int first = co.ProcBodyLine(sName, t);
  int last = first;
  const int count = co.CountOfLines();
  while (last < count && host::EndsWithContinuation(co.Line(last))) ++last;
  std::string joined = co.Lines(first, last - first + 1);
  // The blank before each continuation mark stays and keeps the pieces apart.
  RemoveAll(joined, "_\r\n");
  const Declaration declaration = ParseDeclaration(joined);
  // A generated header's last break ends its last line; it must not add an empty one.
  co.InsertLines(last + 1, WithoutFinalBreak(MemberHeader(sName, declaration, settings)));
}

std::vector<HeaderMember> HeaderCandidates(host::CodeModule& module) {
  std::vector<HeaderMember> candidates;
  for (host::Member& member : module.Members()) {
    host::Step([&] {
      const host::MemberType type = member.Type();
      if (type == host::MemberType::kVariable || type == host::MemberType::kConstant) return;
      candidates.push_back({member.Name(), type});
    });
  }
  return candidates;
}

int InsertHeaders(host::CodeModule& module, const std::vector<HeaderMember>& members,
                  const CommentSettings& settings) {
  int inserted = 0;
  const std::string module_header = ModuleHeader(settings);
  if (!module_header.empty() && host::Step([&] { module.InsertLines(1, module_header); })) {
    ++inserted;
  }
  if (!settings.standard_comments) return inserted;
  using host::ProcKind;
  for (const HeaderMember& member : members) {
    std::vector<ProcKind> kinds;
    if (member.type == host::MemberType::kMethod) kinds = {ProcKind::kProc};
    // Each property procedure gets its own header; a missing one is passed over.
    if (member.type == host::MemberType::kProperty) {
      kinds = {ProcKind::kGet, ProcKind::kLet, ProcKind::kSet};
    }
    for (ProcKind kind : kinds) {
      if (host::Step([&] { ExtractParams(module, member.name, kind, settings); })) ++inserted;
    }
  }
  return inserted;
}

}  // namespace marquill::docs

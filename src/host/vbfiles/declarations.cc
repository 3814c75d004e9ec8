#include "host/vbfiles/declarations.h"

#include "host/memory/memory_host.h"  // before vb_text.h: its kCrLf would shadow Eol::kCrLf
#include "host/text/vb_text.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads words off the front of a statement.
class Words {
 public:
  explicit Words(std::string_view text) : text_(text) {}

  std::string_view Peek() const {
    std::size_t start = SkipBlanks(pos_);
    std::size_t end = start;
    while (end < text_.size() && !IsBlank(text_[end]) && text_[end] != '(' && text_[end] != ',')
      ++end;
    return text_.substr(start, end - start);
  }
  std::string_view Next() {
    const std::string_view word = Peek();
    pos_ = static_cast<std::size_t>(word.data() - text_.data()) + word.size();
    return word;
  }
  bool Accept(std::string_view word) {
    if (!EqualsNoCase(Peek(), word)) return false;
    Next();
    return true;
  }
  std::string_view Rest() const { return text_.substr(SkipBlanks(pos_)); }

 private:
  std::size_t SkipBlanks(std::size_t pos) const {
    while (pos < text_.size() && IsBlank(text_[pos])) ++pos;
    return pos;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The identifier a declared item starts with: `Total`, `Name$(` -> Name, `[Odd Name]`.
std::string IdentifierOf(std::string_view item) {
  item = TrimSpaces(item);
  while (!item.empty() && item.front() == '\t') item.remove_prefix(1);
  if (!item.empty() && item.front() == '[') {
    const std::size_t close = item.find(']');
    return std::string(item.substr(1, close == std::string_view::npos ? item.npos : close - 1));
  }
  std::size_t end = 0;
  while (end < item.size() && !IsBlank(item[end]) && std::string_view("(=$%&!#@").find(item[end]) == std::string_view::npos)
    ++end;
  return std::string(item.substr(0, end));
}

// The statement without a trailing comment ('...), strings respected.
std::string_view WithoutComment(std::string_view text) {
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') in_string = !in_string;
    if (text[i] == '\'' && !in_string) return text.substr(0, i);
  }
  return text;
}

// Splits a declaration list at commas outside parentheses and strings.
std::vector<std::string_view> SplitItems(std::string_view list) {
  std::vector<std::string_view> items;
  int depth = 0;
  bool in_string = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const char c = list[i];
    if (c == '"') in_string = !in_string;
    if (in_string) continue;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      items.push_back(list.substr(start, i - start));
      start = i + 1;
    }
  }
  items.push_back(list.substr(start));
  return items;
}

Declaration Variables(std::string_view list) {
  Declaration declaration;
  for (std::string_view item : SplitItems(list)) {
    Words words(item);
    words.Accept("WithEvents");
    std::string name = IdentifierOf(words.Rest());
    if (!name.empty()) declaration.names.push_back(std::move(name));
  }
  return declaration;
}

Declaration Single(std::string_view rest, ProcKind kind, bool opens_procedure) {
  Declaration declaration;
  declaration.kind = kind;
  declaration.opens_procedure = opens_procedure;
  if (std::string name = IdentifierOf(rest); !name.empty()) declaration.names.push_back(std::move(name));
  return declaration;
}

bool AcceptScope(Words& words) {
  for (std::string_view scope : {"Public", "Private", "Friend", "Global", "Static", "Dim"}) {
    if (words.Accept(scope)) return true;
  }
  return false;
}

}  // namespace

std::optional<Declaration> ParseDeclaration(std::string_view logical_line) {
  Words words(WithoutComment(logical_line));
  bool scoped = false;
  while (AcceptScope(words)) scoped = true;
  if (words.Accept("Sub") || words.Accept("Function")) return Single(words.Rest(), ProcKind::kProc, true);
  if (words.Accept("Property")) {
    ProcKind kind = ProcKind::kGet;
    if (words.Accept("Let")) {
      kind = ProcKind::kLet;
    } else if (words.Accept("Set")) {
      kind = ProcKind::kSet;
    } else if (!words.Accept("Get")) {
      return std::nullopt;
    }
    return Single(words.Rest(), kind, true);
  }
  if (words.Accept("Declare")) {
    words.Accept("PtrSafe");
    if (!words.Accept("Sub") && !words.Accept("Function")) return std::nullopt;
    return Single(words.Rest(), ProcKind::kProc, false);
  }
  if (words.Accept("Event") || words.Accept("Enum") || words.Accept("Type")) {
    return Single(words.Rest(), ProcKind::kProc, false);
  }
  if (words.Accept("Const")) return Variables(words.Rest());
  if (EqualsNoCase(words.Peek(), "WithEvents") || scoped) {
    Declaration declaration = Variables(words.Rest());
    if (!declaration.names.empty()) return declaration;
  }
  return std::nullopt;
}

bool EndsProcedure(std::string_view logical_line) {
  Words words(WithoutComment(logical_line));
  if (!words.Accept("End")) return false;
  return words.Accept("Sub") || words.Accept("Function") || words.Accept("Property");
}

std::vector<DeclarationSite> ScanDeclarations(int count,
                                              const std::function<std::string_view(int)>& line) {
  std::vector<DeclarationSite> sites;
  bool in_procedure = false;
  std::string logical;
  for (int i = 1; i <= count;) {
    const int first = i;
    std::string_view text = line(i);
    logical.assign(text);
    while (EndsWithContinuation(text) && i < count) {
      logical.resize(logical.size() - kContinuation.size());
      logical += ' ';
      text = line(++i);
      logical += text;
    }
    const int last = i++;
    if (in_procedure) {
      in_procedure = !EndsProcedure(logical);
      continue;
    }
    if (std::optional<Declaration> declaration = ParseDeclaration(logical)) {
      in_procedure = declaration->opens_procedure;
      sites.push_back({std::move(*declaration), first, last});
    }
  }
  return sites;
}

}  // namespace marquill::host::vbfiles

#include "host/memory/module_scan.h"

#include <initializer_list>
#include <unordered_map>

namespace marquill::host::scan {
namespace {


bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// Bytes of the upper half are letters of the machine's code page.
bool IsIdentStart(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0x80;
}
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9') || c == '_'; }

bool OneOf(std::string_view word, std::initializer_list<std::string_view> keywords) {
  for (std::string_view keyword : keywords) {
    if (EqualsNoCase(word, keyword)) return true;
  }
  return false;
}

// Words of one statement, left to right.
class Tokens {
 public:
  explicit Tokens(std::string_view text) : text_(text) {}

  // The next identifier (without a type character), or "" when something else comes next.
  std::string_view Word() {
    SkipBlanks();
    const std::size_t start = pos_;
    if (pos_ < text_.size() && IsIdentStart(text_[pos_])) {
      while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
    }
    return text_.substr(start, pos_ - start);
  }
  std::string_view Rest() {
    SkipBlanks();
    return text_.substr(pos_);
  }
  void SkipLineNumber() {
    SkipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    if (pos_ < text_.size() && !IsBlankChar(text_[pos_])) pos_ = start;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlankChar(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool StartsWithRem(std::string_view text) { return EqualsNoCase(Tokens(text).Word(), "Rem"); }

// Calls `visit` with each statement of a logical line: split at colons outside string literals
// (not at the ":=" of named arguments), comment removed, never empty.
template <class Visit>
void ForEachStatement(std::string_view line, Visit visit) {
  auto emit = [&](std::size_t from, std::size_t to) {
    std::string_view statement = line.substr(from, to - from);
    while (!statement.empty() && IsBlankChar(statement.front())) statement.remove_prefix(1);
    while (!statement.empty() && IsBlankChar(statement.back())) statement.remove_suffix(1);
    if (!statement.empty()) visit(statement);
  };
  std::size_t start = 0;
  bool in_string = false;
  if (StartsWithRem(line)) return;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      if (c == '"') in_string = false;  // a doubled quote reopens at once
    } else if (c == '"') {
      in_string = true;
    } else if (c == '\'') {
      emit(start, i);
      return;
    } else if (c == ':' && (i + 1 == line.size() || line[i + 1] != '=')) {
      emit(start, i);
      start = i + 1;
      if (StartsWithRem(line.substr(start))) return;
    }
  }
  emit(start, line.size());
}

bool IsEndOf(std::string_view statement, std::initializer_list<std::string_view> blocks) {
  Tokens tokens(statement);
  tokens.SkipLineNumber();
  if (!EqualsNoCase(tokens.Word(), "End")) return false;
  if (!OneOf(tokens.Word(), blocks)) return false;
  return tokens.Rest().empty();
}

bool ParseProcDecl(std::string_view statement, LineShape& shape) {
  Tokens tokens(statement);
  std::string_view word = tokens.Word();
  while (OneOf(word, {"Public", "Private", "Friend", "Static"})) word = tokens.Word();
  if (OneOf(word, {"Sub", "Function"})) {
    shape.proc_kind = ProcKind::kProc;
  } else if (EqualsNoCase(word, "Property")) {
    const std::string_view accessor = tokens.Word();
    if (EqualsNoCase(accessor, "Get")) {
      shape.proc_kind = ProcKind::kGet;
    } else if (EqualsNoCase(accessor, "Let")) {
      shape.proc_kind = ProcKind::kLet;
    } else if (EqualsNoCase(accessor, "Set")) {
      shape.proc_kind = ProcKind::kSet;
    } else {
      return false;
    }
  } else {
    return false;
  }
  const std::string_view name = tokens.Word();
  if (name.empty()) return false;
  shape.name = std::string(name);
  return true;
}

// The first word of each comma-separated part of a declaration list (`a(1 To 3) As Long, b`),
// skipping WithEvents.
void ListNames(std::string_view list, MemberType type, std::vector<DeclaredName>& out) {
  int depth = 0;
  bool in_string = false;
  std::size_t start = 0;
  auto part = [&](std::size_t from, std::size_t to) {
    Tokens tokens(list.substr(from, to - from));
    std::string_view word = tokens.Word();
    if (EqualsNoCase(word, "WithEvents")) word = tokens.Word();
    if (!word.empty()) out.push_back({std::string(word), type});
  };
  for (std::size_t i = 0; i < list.size(); ++i) {
    const char c = list[i];
    if (in_string) {
      if (c == '"') in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      part(start, i);
      start = i + 1;
    }
  }
  part(start, list.size());
}

void StatementNames(std::string_view statement, Block& block, std::vector<DeclaredName>& out) {
  if (block != Block::kNone) {
    if (IsEndOf(statement, {block == Block::kEnum ? "Enum" : "Type"})) block = Block::kNone;
    return;
  }
  Tokens tokens(statement);
  std::string_view word = tokens.Word();
  bool scoped = false;
  if (OneOf(word, {"Public", "Private", "Global", "Friend"})) {
    scoped = true;
    word = tokens.Word();
  }
  std::string_view rest = tokens.Rest();
  if (EqualsNoCase(word, "Const")) {
    ListNames(rest, MemberType::kConstant, out);
  } else if (EqualsNoCase(word, "Enum")) {
    block = Block::kEnum;
  } else if (EqualsNoCase(word, "Type")) {
    block = Block::kType;
  } else if (EqualsNoCase(word, "Declare")) {
    std::string_view kind = tokens.Word();
    if (EqualsNoCase(kind, "PtrSafe")) kind = tokens.Word();
    const std::string_view name = tokens.Word();
    if (OneOf(kind, {"Sub", "Function"}) && !name.empty()) {
      out.push_back({std::string(name), MemberType::kMethod});
    }
  } else if (EqualsNoCase(word, "Event")) {
    const std::string_view name = tokens.Word();
    if (!name.empty()) out.push_back({std::string(name), MemberType::kEvent});
  } else if (OneOf(word, {"Dim", "Static"})) {
    ListNames(rest, MemberType::kVariable, out);
  } else if (scoped && !word.empty()) {
    // `Private a As Long, WithEvents b As C`: the list starts at the word just read.
    ListNames(statement.substr(static_cast<std::size_t>(word.data() - statement.data())),
              MemberType::kVariable, out);
  }
}

// Lines first..last joined as the language reads them: each continuation mark's underscore
// dropped, its blank kept.
std::string JoinContinued(const LineStore& lines, std::size_t first, std::size_t last) {
  std::string joined;
  for (std::size_t i = first; i <= last; ++i) {
    std::string_view text = lines[i].text;
    if (i < last) text.remove_suffix(1);
    joined += text;
  }
  return joined;
}

// Builds the layout while walking the logical lines once.
class Scanner {
 public:
  explicit Scanner(const LineStore& lines) : lines_(lines) {}

  ModuleLayout Run() {
    const std::size_t count = lines_.size();
    std::size_t first = 0;
    while (first < count) {
      std::size_t last = first;
      while (last + 1 < count && Continues(lines_[last].text)) ++last;
      if (first == last) {
        Visit(lines_[first].text, static_cast<int>(first) + 1, static_cast<int>(last) + 1);
      } else {
        Visit(JoinContinued(lines_, first, last), static_cast<int>(first) + 1,
              static_cast<int>(last) + 1);
      }
      first = last + 1;
    }
    if (open_) Close(static_cast<int>(count), false);
    const int total = static_cast<int>(count);
    if (layout_.procs.empty()) {
      layout_.declarations_length = total;
    } else {
      ProcSegment& last_proc = layout_.procs.back();
      last_proc.length = total - last_start_ + 1;
    }
    return std::move(layout_);
  }

 private:
  void Visit(std::string_view text, int first, int last) {
    LineShape shape = ShapeOf(text);
    if (shape.kind == LineShape::Kind::kBlank) return;
    if (shape.kind == LineShape::Kind::kProcDecl) {
      // A declaration inside an unfinished procedure ends that one just above it.
      if (open_) Close(first - 1, false);
      Open(shape, first, last);
      if (shape.closes_procedure) Close(last, true);
    } else if (open_) {
      if (shape.closes_procedure) Close(last, true);
    } else if (layout_.procs.empty()) {
      declarations_end_ = last;
      names_.clear();
      DeclaredNames(text, block_, names_);
      for (DeclaredName& name : names_) AddMember(std::move(name.name), name.type, first, -1);
    }
  }

  void Open(const LineShape& shape, int first, int last) {
    const int start = layout_.procs.empty() ? declarations_end_ + 1 : previous_end_ + 1;
    if (layout_.procs.empty()) layout_.declarations_length = start - 1;
    ProcSegment segment;
    segment.key = LowerAscii(shape.name);
    segment.kind = shape.proc_kind;
    segment.decl = first - start;
    segment.decl_end = last - start;
    layout_.procs.push_back(std::move(segment));
    last_start_ = start;
    open_ = true;
    const MemberType type =
        shape.proc_kind == ProcKind::kProc ? MemberType::kMethod : MemberType::kProperty;
    AddMember(shape.name, type, first, static_cast<int>(layout_.procs.size()) - 1);
  }

  void Close(int end_line, bool terminated) {
    ProcSegment& segment = layout_.procs.back();
    segment.terminated = terminated;
    segment.end = end_line - last_start_;
    segment.length = segment.end + 1;
    previous_end_ = end_line;
    open_ = false;
  }

  void AddMember(std::string name, MemberType type, int line, int segment) {
    std::string key = LowerAscii(name);
    if (!seen_.emplace(key, true).second) return;
    ScannedMember member;
    member.name = std::move(name);
    member.key = std::move(key);
    member.type = type;
    member.line = line;
    member.segment = segment;
    if (segment >= 0) member.anchor = layout_.procs[static_cast<std::size_t>(segment)].kind;
    layout_.members.push_back(std::move(member));
  }

  const LineStore& lines_;
  ModuleLayout layout_;
  std::unordered_map<std::string, bool> seen_;
  std::vector<DeclaredName> names_;
  Block block_ = Block::kNone;
  int declarations_end_ = 0;
  int previous_end_ = 0;
  int last_start_ = 0;
  bool open_ = false;
};

}  // namespace

LineShape ShapeOf(std::string_view logical_line) {
  LineShape shape;
  ForEachStatement(logical_line, [&](std::string_view statement) {
    if (shape.kind == LineShape::Kind::kBlank) {
      shape.kind =
          ParseProcDecl(statement, shape) ? LineShape::Kind::kProcDecl : LineShape::Kind::kCode;
    }
    if (IsEndOf(statement, {"Sub", "Function", "Property"})) shape.closes_procedure = true;
  });
  return shape;
}

void DeclaredNames(std::string_view logical_line, Block& block, std::vector<DeclaredName>& out) {
  ForEachStatement(logical_line,
                   [&](std::string_view statement) { StatementNames(statement, block, out); });
}

ModuleLayout ScanModule(const LineStore& lines) { return Scanner(lines).Run(); }

}  // namespace marquill::host::scan

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

#include "host/memory/length_tree.h"
#include "host/memory/line_store.h"
#include "host/memory/memory_host.h"
#include "host/memory/module_scan.h"

namespace marquill::host {
namespace {

constexpr std::size_t kKinds = 4;

std::size_t KindIndex(ProcKind kind) { return static_cast<std::size_t>(kind); }

std::string_view KindWords(ProcKind kind) {
  switch (kind) {
    case ProcKind::kProc:
      return "Sub or Function";
    case ProcKind::kLet:
      return "Property Let";
    case ProcKind::kSet:
      return "Property Set";
    case ProcKind::kGet:
      return "Property Get";
  }
  return "";
}

// Text given to InsertLines or ReplaceLine: every break starts a new line, so "a" CR LF gives "a"
// and an empty line.
std::vector<SourceLine> SplitEditText(std::string_view text, Eol eol) {
  std::vector<SourceLine> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back({std::string(text.substr(start, i - start)), eol});
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back({std::string(text.substr(start)), eol});
  return lines;
}

// Lines that decide where procedures start and end: declarations, End lines, continued lines.
bool ShapesProcedures(std::string_view text) {
  if (scan::Continues(text)) return true;
  const scan::LineShape shape = scan::ShapeOf(text);
  return shape.kind == scan::LineShape::Kind::kProcDecl || shape.closes_procedure;
}

bool IsBlankOrComment(std::string_view text) {
  return scan::ShapeOf(text).kind == scan::LineShape::Kind::kBlank;
}

}  // namespace

std::vector<SourceLine> SplitSourceText(std::string_view text) {
  std::vector<SourceLine> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  // Lines end at LF; a CR before it belongs to the ending, a CR elsewhere ends a line itself.
  std::size_t start = 0;
  while (start < text.size()) {
    const char* begin = text.data() + start;
    const std::size_t rest = text.size() - start;
    const void* lf = std::memchr(begin, '\n', rest);
    const std::size_t length =
        lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : rest;
    const void* cr = std::memchr(begin, '\r', length);
    if (cr != nullptr && static_cast<const char*>(cr) + 1 != begin + length) {
      const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
      lines.push_back({std::string(begin, at), Eol::kCr});
      start += at + 1;
    } else if (lf == nullptr) {
      const bool cr_last = cr != nullptr;  // a CR at the very end ends the last line
      lines.push_back(
          {std::string(begin, cr_last ? length - 1 : length), cr_last ? Eol::kCr : Eol::kNone});
      break;
    } else if (cr != nullptr) {
      lines.push_back({std::string(begin, length - 1), Eol::kCrLf});
      start += length + 1;
    } else {
      lines.push_back({std::string(begin, length), Eol::kLf});
      start += length + 1;
    }
  }
  return lines;
}

struct MemoryCodeModule::Impl {
  class MemberObject;
  class MemberList;

  Impl(MemoryComponent& parent_component, std::vector<SourceLine> code, Eol eol);

  int Count() const { return static_cast<int>(lines.size()); }
  void CheckLine(int line) const;
  void CheckRange(int start, int count) const;

  // Structure, read again when stale.
  void Refresh() const;
  const scan::ScannedMember& MemberNamed(std::string_view key) const;
  const scan::ScannedMember* FindMember(std::string_view name) const;
  int SegmentStart(int segment) const {
    return lengths.LinesBefore(static_cast<std::size_t>(segment) + 1) + 1;
  }
  int Segment(std::string_view name, ProcKind kind) const;
  int Location(const scan::ScannedMember& member) const;

  // Keeps the structure current across an edit that replaces `removed` lines at `first` with
  // `inserted`, or marks it stale. Called before the edit.
  void NoteEdit(int first, int removed, const std::vector<SourceLine>& inserted);
  bool MoveRanges(int first, int removed, const std::vector<SourceLine>& inserted);

  MemberObject& ObjectFor(const scan::ScannedMember& member);

  MemoryComponent& parent;
  LineStore lines;
  Eol new_line_eol;
  AttributeSet attributes;
  std::uint64_t line_revision = 0;

  mutable bool stale = true;
  mutable bool well_formed = false;  // every procedure closed by its End line
  mutable scan::ModuleLayout layout;
  mutable LengthTree lengths;
  mutable std::unordered_map<std::string, std::array<int, kKinds>> segments_by_name;
  mutable std::unordered_map<std::string, std::size_t> members_by_name;
  mutable std::uint64_t scans = 0;

  std::unordered_map<std::string, std::unique_ptr<MemberObject>> member_objects;
  std::unique_ptr<MemberList> member_list;
};

// A member stays the same object while its name is declared, so references held across edits
// remain usable; once the code no longer declares it, every call fails.
class MemoryCodeModule::Impl::MemberObject final : public Member {
 public:
  MemberObject(Impl& impl, std::string key) : impl_(impl), key_(std::move(key)) {}

  std::string Name() const override { return Current().name; }
  MemberType Type() const override { return Current().type; }
  int CodeLocation() const override { return impl_.Location(Current()); }
  std::string Description() const override {
    const scan::ScannedMember& member = Current();
    return impl_.attributes.Text(member.name, Names(member).description);
  }
  void SetDescription(std::string_view text) override {
    const scan::ScannedMember& member = Current();
    impl_.attributes.SetText(member.name, Names(member).description, text, member.anchor);
  }
  std::int32_t HelpContextID() const override {
    const scan::ScannedMember& member = Current();
    return impl_.attributes.Number(member.name, Names(member).help_id);
  }
  void SetHelpContextID(std::int32_t id) override {
    const scan::ScannedMember& member = Current();
    impl_.attributes.SetNumber(member.name, Names(member).help_id, id, member.anchor);
  }

 private:
  struct AttributeNames {
    std::string_view description;
    std::string_view help_id;
  };
  // Module-level variables carry their own attribute names in the IDE's files.
  static AttributeNames Names(const scan::ScannedMember& member) {
    if (member.type == MemberType::kVariable) return {"VB_VarDescription", "VB_VarHelpID"};
    return {"VB_Description", "VB_HelpID"};
  }
  const scan::ScannedMember& Current() const { return impl_.MemberNamed(key_); }

  Impl& impl_;
  std::string key_;
};

class MemoryCodeModule::Impl::MemberList final : public host::Members {
 public:
  explicit MemberList(Impl& impl) : impl_(impl) {}

  int Count() const override {
    impl_.Refresh();
    return static_cast<int>(impl_.layout.members.size());
  }
  Member& Item(int index) override {
    impl_.Refresh();
    const auto& members = impl_.layout.members;
    if (index < 1 || index > static_cast<int>(members.size())) {
      throw HostError("no member " + std::to_string(index) + " in a module of " +
                      std::to_string(members.size()) + " members");
    }
    return impl_.ObjectFor(members[static_cast<std::size_t>(index - 1)]);
  }
  Member& Item(std::string_view name) override {
    const scan::ScannedMember* member = impl_.FindMember(name);
    if (member == nullptr) throw HostError("the module has no member " + std::string(name));
    return impl_.ObjectFor(*member);
  }

 private:
  Impl& impl_;
};

MemoryCodeModule::Impl::Impl(MemoryComponent& parent_component, std::vector<SourceLine> code,
                             Eol eol)
    : parent(parent_component),
      lines(std::move(code)),
      new_line_eol(eol == Eol::kNone ? Eol::kCrLf : eol),
      member_list(std::make_unique<MemberList>(*this)) {
  attributes.SetNewLineEol(new_line_eol);
}

void MemoryCodeModule::Impl::CheckLine(int line) const {
  if (line < 1 || line > Count()) {
    throw HostError("line " + std::to_string(line) + " is outside the module's " +
                    std::to_string(Count()) + " lines");
  }
}

void MemoryCodeModule::Impl::CheckRange(int start, int count) const {
  if (count < 0) throw HostError("a negative line count: " + std::to_string(count));
  if (start < 1 || start > Count() || count > Count() - start + 1) {
    // In 64 bits: a count near the largest int must not overflow in the message.
    const std::int64_t last = std::int64_t{start} + count - 1;
    throw HostError("lines " + std::to_string(start) + " to " + std::to_string(last) +
                    " are outside the module's " + std::to_string(Count()) + " lines");
  }
}

void MemoryCodeModule::Impl::Refresh() const {
  if (!stale) return;
  layout = scan::ScanModule(lines);
  ++scans;
  std::vector<int> run_lengths;
  run_lengths.reserve(layout.procs.size() + 1);
  run_lengths.push_back(layout.declarations_length);
  segments_by_name.clear();
  well_formed = true;
  for (std::size_t i = 0; i < layout.procs.size(); ++i) {
    const scan::ProcSegment& segment = layout.procs[i];
    run_lengths.push_back(segment.length);
    auto [entry, added] = segments_by_name.try_emplace(segment.key);
    if (added) entry->second.fill(-1);
    int& slot = entry->second[KindIndex(segment.kind)];
    if (slot < 0) slot = static_cast<int>(i);
    // A procedure without its End line ends where the next declaration or the module does, which
    // moves as lines are added; only a full read gets that right.
    if (!segment.terminated) well_formed = false;
  }
  lengths = LengthTree(run_lengths);
  members_by_name.clear();
  for (std::size_t i = 0; i < layout.members.size(); ++i) {
    members_by_name.emplace(layout.members[i].key, i);
  }
  stale = false;
}

const scan::ScannedMember* MemoryCodeModule::Impl::FindMember(std::string_view name) const {
  Refresh();
  const auto found = members_by_name.find(LowerAscii(name));
  if (found == members_by_name.end()) return nullptr;
  return &layout.members[found->second];
}

const scan::ScannedMember& MemoryCodeModule::Impl::MemberNamed(std::string_view key) const {
  const scan::ScannedMember* member = FindMember(key);
  if (member == nullptr) {
    throw HostError("the module no longer declares " + std::string(key));
  }
  return *member;
}

int MemoryCodeModule::Impl::Segment(std::string_view name, ProcKind kind) const {
  Refresh();
  const auto found = segments_by_name.find(LowerAscii(name));
  const int segment = found == segments_by_name.end() ? -1 : found->second[KindIndex(kind)];
  if (segment < 0) {
    throw HostError("the module has no " + std::string(KindWords(kind)) + " " + std::string(name));
  }
  return segment;
}

int MemoryCodeModule::Impl::Location(const scan::ScannedMember& member) const {
  if (member.segment < 0) return member.line;
  return SegmentStart(member.segment) + layout.procs[static_cast<std::size_t>(member.segment)].decl;
}

MemoryCodeModule::Impl::MemberObject& MemoryCodeModule::Impl::ObjectFor(
    const scan::ScannedMember& member) {
  auto [entry, added] = member_objects.try_emplace(member.key);
  if (added) entry->second = std::make_unique<MemberObject>(*this, member.key);
  return *entry->second;
}

void MemoryCodeModule::Impl::NoteEdit(int first, int removed,
                                      const std::vector<SourceLine>& inserted) {
  if (stale) return;
  if (!MoveRanges(first, removed, inserted)) stale = true;
}

bool MemoryCodeModule::Impl::MoveRanges(int first, int removed,
                                        const std::vector<SourceLine>& inserted) {
  if (!well_formed || layout.procs.empty()) return false;
  // A line continued into the edit, or an edited line that is a declaration, an End line or
  // continued, can change where procedures start and end.
  if (first > 1 && scan::Continues(lines[static_cast<std::size_t>(first - 2)].text)) return false;
  for (int i = 0; i < removed; ++i) {
    if (ShapesProcedures(lines[static_cast<std::size_t>(first - 1 + i)].text)) return false;
  }
  for (const SourceLine& line : inserted) {
    if (ShapesProcedures(line.text)) return false;
  }

  const std::size_t run = lengths.RunAt(first);
  if (run == 0) return false;  // the declarations section declares members
  const std::size_t index = run == lengths.size() ? layout.procs.size() - 1 : run - 1;
  scan::ProcSegment& segment = layout.procs[index];
  const int at = first - SegmentStart(static_cast<int>(index));
  const int last = removed > 0 ? at + removed - 1 : at;
  if (last >= segment.length && removed > 0) return false;

  enum class Area { kAbove, kBody, kBelow };
  Area area;
  if (removed > 0 ? last < segment.decl : at <= segment.decl) {
    area = Area::kAbove;
  } else if (at > segment.decl_end && (removed > 0 ? last < segment.end : at <= segment.end)) {
    area = Area::kBody;
  } else if (at > segment.end) {
    area = Area::kBelow;
  } else {
    return false;
  }
  // Only blank and comment lines may stand between the declarations and the first procedure.
  if (area == Area::kAbove && index == 0) {
    for (const SourceLine& line : inserted) {
      if (!IsBlankOrComment(line.text)) return false;
    }
  }
  const int delta = static_cast<int>(inserted.size()) - removed;
  if (area == Area::kAbove) {
    segment.decl += delta;
    segment.decl_end += delta;
  }
  if (area != Area::kBelow) segment.end += delta;
  segment.length += delta;
  lengths.Add(index + 1, delta);
  return true;
}

MemoryCodeModule::MemoryCodeModule(MemoryComponent& parent, std::vector<SourceLine> lines,
                                   Eol new_line_eol)
    : impl_(std::make_unique<Impl>(parent, std::move(lines), new_line_eol)) {}

MemoryCodeModule::~MemoryCodeModule() = default;

std::string MemoryCodeModule::Lines(int start, int count) const {
  if (count == 0 && start >= 1) return "";
  impl_->CheckRange(start, count);
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += kLineBreak;
    text += impl_->lines[static_cast<std::size_t>(start - 1 + i)].text;
  }
  return text;
}

int MemoryCodeModule::CountOfLines() const { return impl_->Count(); }

void MemoryCodeModule::InsertLines(int line, std::string_view text) {
  if (line < 1 || line > impl_->Count() + 1) {
    throw HostError("cannot insert before line " + std::to_string(line) + " of a module of " +
                    std::to_string(impl_->Count()) + " lines");
  }
  std::vector<SourceLine> added = SplitEditText(text, impl_->new_line_eol);
  // Appending below a last line without a break: that line gets one, the new last line has none.
  if (line == impl_->Count() + 1 && line > 1) {
    SourceLine& old_last = impl_->lines[static_cast<std::size_t>(line - 2)];
    if (old_last.eol == Eol::kNone) {
      old_last.eol = impl_->new_line_eol;
      added.back().eol = Eol::kNone;
    }
  }
  impl_->NoteEdit(line, 0, added);
  impl_->lines.Insert(static_cast<std::size_t>(line - 1), std::move(added));
  ++impl_->line_revision;
}

void MemoryCodeModule::DeleteLines(int start, int count) {
  if (count == 0 && start >= 1 && start <= impl_->Count() + 1) return;
  impl_->CheckRange(start, count);
  const int last = start + count - 1;
  // The last line's missing break stays at the end of the module.
  if (last == impl_->Count() && start > 1 &&
      impl_->lines[static_cast<std::size_t>(last - 1)].eol == Eol::kNone) {
    impl_->lines[static_cast<std::size_t>(start - 2)].eol = Eol::kNone;
  }
  impl_->NoteEdit(start, count, {});
  impl_->lines.Erase(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
  ++impl_->line_revision;
}

void MemoryCodeModule::ReplaceLine(int line, std::string_view text) {
  impl_->CheckLine(line);
  SourceLine& old = impl_->lines[static_cast<std::size_t>(line - 1)];
  std::vector<SourceLine> added = SplitEditText(text, impl_->new_line_eol);
  if (added.size() == 1 && added.front().text == old.text) return;
  if (old.eol == Eol::kNone) {
    added.back().eol = Eol::kNone;
  } else {
    added.front().eol = old.eol;
  }
  impl_->NoteEdit(line, 1, added);
  if (added.size() == 1) {
    old = std::move(added.front());
  } else {
    impl_->lines.Erase(static_cast<std::size_t>(line - 1), 1);
    impl_->lines.Insert(static_cast<std::size_t>(line - 1), std::move(added));
  }
  ++impl_->line_revision;
}

int MemoryCodeModule::ProcStartLine(std::string_view name, ProcKind kind) const {
  return impl_->SegmentStart(impl_->Segment(name, kind));
}

int MemoryCodeModule::ProcCountLines(std::string_view name, ProcKind kind) const {
  const int segment = impl_->Segment(name, kind);
  return impl_->layout.procs[static_cast<std::size_t>(segment)].length;
}

int MemoryCodeModule::ProcBodyLine(std::string_view name, ProcKind kind) const {
  const int segment = impl_->Segment(name, kind);
  return impl_->SegmentStart(segment) + impl_->layout.procs[static_cast<std::size_t>(segment)].decl;
}

host::Members& MemoryCodeModule::Members() { return *impl_->member_list; }

Component& MemoryCodeModule::Parent() { return impl_->parent; }

const SourceLine& MemoryCodeModule::LineAt(int line) const {
  impl_->CheckLine(line);
  return impl_->lines[static_cast<std::size_t>(line - 1)];
}

std::vector<SourceLine> MemoryCodeModule::AllLines() const { return impl_->lines.ToVector(); }

Eol MemoryCodeModule::NewLineEol() const { return impl_->new_line_eol; }

AttributeSet& MemoryCodeModule::Attributes() { return impl_->attributes; }
const AttributeSet& MemoryCodeModule::Attributes() const { return impl_->attributes; }

std::uint64_t MemoryCodeModule::Revision() const {
  return impl_->line_revision + impl_->attributes.Revision();
}

int MemoryCodeModule::DeclarationEnd(int line) const {
  impl_->CheckLine(line);
  while (line < impl_->Count() &&
         scan::Continues(impl_->lines[static_cast<std::size_t>(line - 1)].text)) {
    ++line;
  }
  return line;
}

std::vector<MemoryCodeModule::PlacedAttribute> MemoryCodeModule::AttributePlacement() const {
  std::vector<PlacedAttribute> placed;
  for (const AttributeLine& attribute : impl_->attributes.lines()) {
    if (attribute.member.empty()) continue;
    const scan::ScannedMember* member = impl_->FindMember(attribute.member);
    if (member == nullptr) continue;
    int declaration = impl_->Location(*member);
    const auto kinds = impl_->segments_by_name.find(member->key);
    if ((member->segment >= 0 || attribute.under_procedure) &&
        kinds != impl_->segments_by_name.end()) {
      const int anchored = kinds->second[KindIndex(attribute.anchor)];
      if (anchored >= 0) {
        declaration = impl_->SegmentStart(anchored) +
                      impl_->layout.procs[static_cast<std::size_t>(anchored)].decl;
      }
    }
    placed.push_back({DeclarationEnd(declaration), &attribute});
  }
  // Stable: a member's lines keep their order under one declaration.
  std::stable_sort(placed.begin(), placed.end(),
                   [](const PlacedAttribute& a, const PlacedAttribute& b) {
                     return a.after_line < b.after_line;
                   });
  return placed;
}

void MemoryCodeModule::Reset(std::vector<SourceLine> lines, Eol new_line_eol) {
  impl_->lines = LineStore(std::move(lines));
  impl_->new_line_eol = new_line_eol == Eol::kNone ? Eol::kCrLf : new_line_eol;
  impl_->attributes.lines().clear();
  impl_->attributes.SetNewLineEol(impl_->new_line_eol);
  impl_->stale = true;
  ++impl_->line_revision;
}

std::uint64_t MemoryCodeModule::ScanCount() const { return impl_->scans; }

}  // namespace marquill::host

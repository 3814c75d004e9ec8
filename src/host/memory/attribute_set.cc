#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "host/memory/memory_host.h"
#include "host/memory/module_scan.h"

namespace marquill::host {
namespace {

// Position of a member attribute among the member's lines, as the IDE writes them. Variables
// carry the same attributes under "VB_Var..." names.
int MemberRank(std::string_view name) {
  if (StartsWithNoCase(name, "VB_Var"))
    name.remove_prefix(6);
  else if (StartsWithNoCase(name, "VB_"))
    name.remove_prefix(3);
  static constexpr std::string_view kOrder[] = {"Description", "HelpID", "ProcData", "UserMemId",
                                                "MemberFlags"};
  int rank = 0;
  for (std::string_view known : kOrder) {
    // ProcData has sub-names: VB_ProcData.VB_Invoke_Property.
    if (EqualsNoCase(name, known) ||
        (StartsWithNoCase(name, known) && name.size() > known.size() &&
         name[known.size()] == '.')) {
      return rank;
    }
    ++rank;
  }
  return rank;
}

int ComponentRank(std::string_view name) {
  static constexpr std::string_view kOrder[] = {
      "VB_Name",    "VB_GlobalNameSpace", "VB_Creatable", "VB_PredeclaredId",
      "VB_Exposed", "VB_Description",     "VB_HelpID"};
  int rank = 0;
  for (std::string_view known : kOrder) {
    if (EqualsNoCase(name, known)) return rank;
    ++rank;
  }
  return rank;
}

bool SameMember(const AttributeLine& line, std::string_view member) {
  return EqualsNoCase(line.member, member);
}

}  // namespace

std::string_view EolText(Eol eol) {
  switch (eol) {
    case Eol::kCrLf:
      return "\r\n";
    case Eol::kLf:
      return "\n";
    case Eol::kCr:
      return "\r";
    case Eol::kNone:
      return "";
  }
  return "";
}

std::string QuoteAttributeText(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  return quoted;
}

std::string UnquoteAttributeText(std::string_view value) {
  if (value.empty() || value.front() != '"') return std::string(value);
  std::string text;
  for (std::size_t i = 1; i < value.size(); ++i) {
    if (value[i] != '"') {
      text += value[i];
    } else if (i + 1 < value.size() && value[i + 1] == '"') {
      text += '"';
      ++i;
    } else {
      break;  // the closing quote; whatever follows is not part of the text
    }
  }
  return text;
}

const AttributeLine* AttributeSet::Find(std::string_view member, std::string_view name) const {
  for (const AttributeLine& line : lines_) {
    if (SameMember(line, member) && EqualsNoCase(line.name, name)) return &line;
  }
  return nullptr;
}

void AttributeSet::Set(std::string_view member, std::string_view name, std::string value,
                       ProcKind anchor) {
  for (AttributeLine& line : lines_) {
    if (!SameMember(line, member) || !EqualsNoCase(line.name, name)) continue;
    if (line.value == value) return;
    line.value = std::move(value);
    ++revision_;
    return;
  }
  const auto rank = [&](std::string_view attribute) {
    return member.empty() ? ComponentRank(attribute) : MemberRank(attribute);
  };
  const int new_rank = rank(name);
  // After the member's last line that comes before it in the IDE's order; before its first line
  // when none does; at the end for a member without lines.
  std::size_t position = lines_.size();
  bool member_seen = false;
  bool under_procedure = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (!SameMember(lines_[i], member)) continue;
    if (!member_seen) {
      position = i;
      // A member's lines stand together under one declaration: a new one joins them there.
      anchor = lines_[i].anchor;
      under_procedure = lines_[i].under_procedure;
    }
    member_seen = true;
    if (rank(lines_[i].name) <= new_rank) position = i + 1;
  }
  AttributeLine line;
  line.member = std::string(member);
  line.name = std::string(name);
  line.value = std::move(value);
  line.anchor = anchor;
  line.under_procedure = under_procedure;
  line.eol = lines_.empty() ? new_line_eol_ : lines_[position == 0 ? 0 : position - 1].eol;
  if (line.eol == Eol::kNone) line.eol = new_line_eol_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), std::move(line));
  ++revision_;
}

void AttributeSet::Remove(std::string_view member, std::string_view name) {
  const auto found = std::find_if(lines_.begin(), lines_.end(), [&](const AttributeLine& line) {
    return SameMember(line, member) && EqualsNoCase(line.name, name);
  });
  if (found == lines_.end()) return;
  lines_.erase(found);
  ++revision_;
}

void AttributeSet::RemoveMember(std::string_view member) {
  const auto removed =
      std::erase_if(lines_, [&](const AttributeLine& line) { return SameMember(line, member); });
  if (removed > 0) ++revision_;
}

std::string AttributeSet::Text(std::string_view member, std::string_view name) const {
  const AttributeLine* line = Find(member, name);
  return line == nullptr ? std::string() : UnquoteAttributeText(line->value);
}

void AttributeSet::SetText(std::string_view member, std::string_view name, std::string_view text,
                           ProcKind anchor) {
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    throw HostError("an attribute text cannot hold a line break");
  }
  if (text.empty()) {
    Remove(member, name);
  } else {
    Set(member, name, QuoteAttributeText(text), anchor);
  }
}

std::int32_t AttributeSet::Number(std::string_view member, std::string_view name) const {
  const AttributeLine* line = Find(member, name);
  if (line == nullptr) return 0;
  std::string_view value = line->value;
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  // A value that is not wholly a number is not one the IDE wrote: read it as no ID.
  return error == std::errc() && end == value.data() + value.size() ? number : 0;
}

void AttributeSet::SetNumber(std::string_view member, std::string_view name, std::int32_t value,
                             ProcKind anchor) {
  if (value == 0) {
    Remove(member, name);
  } else {
    Set(member, name, std::to_string(value), anchor);
  }
}

std::string AttributeSet::Description(std::string_view member) const {
  return Text(member, "VB_Description");
}

void AttributeSet::SetDescription(std::string_view member, std::string_view text, ProcKind anchor) {
  SetText(member, "VB_Description", text, anchor);
}

std::int32_t AttributeSet::HelpContextID(std::string_view member) const {
  return Number(member, "VB_HelpID");
}

void AttributeSet::SetHelpContextID(std::string_view member, std::int32_t id, ProcKind anchor) {
  SetNumber(member, "VB_HelpID", id, anchor);
}

}  // namespace marquill::host

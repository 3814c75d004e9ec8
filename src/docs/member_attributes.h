// Member attributes: the description and help context ID the host keeps for each component and
// each member of its code module, as the "&Err handling&&Export" tab edits them.
//
// Nothing here is cached: every read and write goes to the host object, looked up by name when it
// is needed, so the edits land in the host at once (on disk, in the files' Attribute lines when
// the project is saved).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"

namespace marquill::docs {

// One entry of the member picker: a member's name and its type as the host reports it.
struct MemberEntry {
  std::string name;
  host::MemberType type = host::MemberType::kMethod;
  friend bool operator==(const MemberEntry&, const MemberEntry&) = default;
};

// Every member of the module, whatever its type, in the host's order.
std::vector<MemberEntry> ListMembers(host::CodeModule& module);

// The component of `project` named `name`; HostError when there is none.
host::Component& ComponentNamed(host::Project& project, std::string_view name);
// The member `name` of the component's code module; HostError when there is none.
host::Member& MemberNamed(host::Component& component, std::string_view name);

struct Attributes {
  std::string description;
  std::int32_t help_context_id = 0;
  friend bool operator==(const Attributes&, const Attributes&) = default;
};

Attributes ReadAttributes(const host::Component& component);
Attributes ReadAttributes(const host::Member& member);

// The help context ID a field's text stands for: the whole text as a 32-bit whole number, blanks
// around it allowed, halves rounded to the even neighbour (2.5 is 2, 3.5 is 4).
// host::ConversionError when the text is empty, not a number or outside the range.
std::int32_t HelpContextIdOf(std::string_view text);
// The decimal text a field shows for an ID.
std::string HelpContextIdText(std::int32_t id);

}  // namespace marquill::docs

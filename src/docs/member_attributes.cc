#include "docs/member_attributes.h"

#include "host/text/vb_text.h"

namespace marquill::docs {

std::vector<MemberEntry> ListMembers(host::CodeModule& module) {
  std::vector<MemberEntry> entries;
  for (host::Member& member : module.Members()) entries.push_back({member.Name(), member.Type()});
  return entries;
}

host::Component& ComponentNamed(host::Project& project, std::string_view name) {
  return project.Components().Item(name);
}

host::Member& MemberNamed(host::Component& component, std::string_view name) {
  host::CodeModule* module = component.CodeModule();
  if (module == nullptr) throw host::HostError(component.Name() + " has no code");
  return module->Members().Item(name);
}

Attributes ReadAttributes(const host::Component& component) {
  return {component.Description(), component.HelpContextID()};
}

Attributes ReadAttributes(const host::Member& member) {
  return {member.Description(), member.HelpContextID()};
}

std::int32_t HelpContextIdOf(std::string_view text) { return host::CLng(text); }

std::string HelpContextIdText(std::int32_t id) { return std::to_string(id); }

}  // namespace marquill::docs

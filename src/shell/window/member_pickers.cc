#include "shell/window/member_pickers.h"

#include <string>

#include "docs/member_attributes.h"
#include "host/ignore_errors.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

// The pick handlers have no guard of their own in the add-in; here a failure is told to the user
// instead of escaping, and the fields keep what was filled before it.
template <class F>
void ReportingHostFailure(frmUtility& window, F&& pick) {
  try {
    pick();
  } catch (const host::HostError& error) {
    window.Platform().Message(error.what(), kPickFailedTitle);
  }
}

void ShowAttributes(frmUtility& window, const docs::Attributes& attributes) {
  window.txtDesc.SetText(attributes.description);
  window.txtHelpCtxID.SetText(docs::HelpContextIdText(attributes.help_context_id));
}

}  // namespace

host::Component* SelectedComponent(frmUtility& window) {
  const int entry = window.cmbComponents.ListIndex();
  host::Project* project = window.Vbe() != nullptr ? window.Vbe()->ActiveProject() : nullptr;
  if (entry < 0 || project == nullptr) return nullptr;
  return &docs::ComponentNamed(*project, window.cmbComponents.List(entry));
}

host::Member* SelectedMember(frmUtility& window) {
  const int entry = window.cmbMembers.ListIndex();
  if (entry < 0) return nullptr;
  host::Component* component = SelectedComponent(window);
  if (component == nullptr) throw host::HostError("no component is picked");
  return &docs::MemberNamed(*component, window.cmbMembers.List(entry));
}

void cmbComponents_Click(frmUtility& window) {
  ReportingHostFailure(window, [&window] {
    window.cmbMembers.Clear();
    host::Component* component = SelectedComponent(window);
    if (component == nullptr) return;
    ShowAttributes(window, docs::ReadAttributes(*component));
    host::CodeModule* module = component->CodeModule();
    if (module == nullptr) throw host::HostError(component->Name() + " has no code");
    for (const docs::MemberEntry& member : docs::ListMembers(*module)) {
      const int added = window.cmbMembers.AddItem(member.name);
      window.cmbMembers.SetItemData(added, static_cast<std::int32_t>(member.type));
    }
    window.cmdExportHTML.SetEnabled(true);
  });
}

void cmbMembers_Click(frmUtility& window) {
  ReportingHostFailure(window, [&window] {
    if (host::Member* member = SelectedMember(window)) {
      ShowAttributes(window, docs::ReadAttributes(*member));
    }
  });
}

void txtDesc_Change(frmUtility& window) {
  host::Step([&window] {
    const std::string& text = window.txtDesc.Text();
    if (window.cmbMembers.ListIndex() >= 0) {
      if (host::Member* member = SelectedMember(window)) member->SetDescription(text);
    } else if (host::Component* component = SelectedComponent(window)) {
      component->SetDescription(text);
    }
  });
}

void txtHelpCtxID_Change(frmUtility& window) {
  // A text that is no Long leaves the attribute as it was and the field as typed.
  host::Step([&window] {
    const std::int32_t id = docs::HelpContextIdOf(window.txtHelpCtxID.Text());
    if (window.cmbMembers.ListIndex() >= 0) {
      if (host::Member* member = SelectedMember(window)) member->SetHelpContextID(id);
    } else if (host::Component* component = SelectedComponent(window)) {
      component->SetHelpContextID(id);
    }
  });
}

void AttachMemberPickers(frmUtility& window) {
  window.cmbComponents.OnClick([&window] { cmbComponents_Click(window); });
  window.cmbMembers.OnClick([&window] { cmbMembers_Click(window); });
  window.txtDesc.OnChange([&window] { txtDesc_Change(window); });
  window.txtHelpCtxID.OnChange([&window] { txtHelpCtxID_Change(window); });
}

}  // namespace marquill::shell

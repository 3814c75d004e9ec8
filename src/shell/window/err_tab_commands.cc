#include "shell/window/err_tab_commands.h"

#include "host/ignore_errors.h"
#include "shell/window/frm_utility.h"
#include "shell/window/member_pickers.h"
#include "transform/error_handlers.h"

namespace marquill::shell {
namespace {

using transform::HandlerStyle;

constexpr int kCallStyle = static_cast<int>(HandlerStyle::kCall);

// The member a member target names, with the type the picker recorded for it.
struct MemberTarget {
  std::string name;
  host::MemberType type = host::MemberType::kMethod;
};

void RunOnComponent(int button, host::CodeModule& module, const transform::CustomHandler& handler) {
  switch (button) {
    case kRemoveButton:
      transform::RemoveResumeNext(module);
      break;
    case kInsertButton:
      transform::InsertResumeNext(module);
      break;
    case kInsertCustomButton:
      transform::InsertCustomHandlers(module, handler);
      break;
  }
}

void RunOnMember(int button, host::CodeModule& module, const MemberTarget& member,
                 const transform::CustomHandler& handler) {
  switch (button) {
    case kRemoveButton:
      transform::RemoveResumeNext(module, member.name, member.type);
      break;
    case kInsertButton:
      transform::InsertResumeNext(module, member.name, member.type);
      break;
    case kInsertCustomButton:
      transform::InsertCustomHandler(module, member.name, member.type, handler);
      break;
  }
}

}  // namespace

void optError_Click(frmUtility& window, int index) {
  if (index < 0 || index > kCallStyle) return;
  window.txtErrHandler.SetText(
      transform::HandlerBody(static_cast<HandlerStyle>(index), window.txtCallErr.Text()));
}

void txtCallErr_Change(frmUtility& window) {
  if (window.optError(kCallStyle).Value()) optError_Click(window, kCallStyle);
}

void cmdErrHandler_Click(frmUtility& window, int index) {
  if (index < kRemoveButton || index > kInsertCustomButton) return;
  const int apply_to = window.cmbWhereErr.ListIndex();
  const bool component_target =
      apply_to == kApplyToComponent && window.cmbComponents.ListIndex() >= 0;
  const bool member_target =
      !component_target && apply_to == kApplyToMember && window.cmbMembers.ListIndex() >= 0;
  if (!component_target && !member_target) return;
  const transform::CustomHandler handler{window.txtErrLabel.Text(), window.txtErrHandler.Text()};
  host::Step([&] {
    host::Component* component = SelectedComponent(window);
    host::CodeModule* module = component != nullptr ? component->CodeModule() : nullptr;
    if (module == nullptr) return;
    if (component_target) {
      RunOnComponent(index, *module, handler);
      return;
    }
    const int entry = window.cmbMembers.ListIndex();
    const MemberTarget member{window.cmbMembers.List(entry),
                              static_cast<host::MemberType>(window.cmbMembers.ItemData(entry))};
    RunOnMember(index, *module, member, handler);
  });
}

void AttachErrorsTab(frmUtility& window) {
  AttachMemberPickers(window);
  window.optError.OnClick([&window](int index) { optError_Click(window, index); });
  window.txtCallErr.OnChange([&window] { txtCallErr_Change(window); });
  window.cmdErrHandler.OnClick([&window](int index) { cmdErrHandler_Click(window, index); });
}

}  // namespace marquill::shell

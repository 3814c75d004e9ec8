#include "shell/window/designer_tab_commands.h"

#include <cstdio>

#include "designer/control_tools.h"
#include "designer/form_properties.h"
#include "designer/tab_order.h"
#include "shell/window/frm_utility.h"

namespace marquill::shell {
namespace {

host::Project* ActiveProject(frmUtility& window) {
  return window.Vbe() != nullptr ? window.Vbe()->ActiveProject() : nullptr;
}

void ShowError(frmUtility& window, std::string_view text) {
  window.Platform().Message(text, kErrorTitle);
}

std::string ColorHex(host::Color color) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", color.value);
  return text;
}

void Apply(frmUtility& window, std::string_view property, const host::PropertyValue& value) {
  host::Project* project = ActiveProject(window);
  if (project == nullptr) return;
  designer::ApplyFormProperty(*project, TickedForms(window), property, value);
}

// The component chosen in cmbForms; nullptr when none is chosen or the project lacks it.
host::Component* ChosenForm(frmUtility& window) {
  host::Project* project = ActiveProject(window);
  if (project == nullptr || window.cmbForms.ListIndex() < 0) return nullptr;
  try {
    return &project->Components().Item(window.cmbForms.Text());
  } catch (const host::HostError&) {
    return nullptr;
  }
}

void Fill(ListBox& list, const std::vector<designer::TabEntry>& entries) {
  list.Clear();
  for (const designer::TabEntry& entry : entries)
    list.SetItemData(list.AddItem(entry.name), entry.index);
}

std::vector<designer::TabEntry> Entries(const ListBox& list) {
  std::vector<designer::TabEntry> entries;
  for (int i = 0; i < list.ListCount(); ++i) entries.push_back({list.List(i), list.ItemData(i)});
  return entries;
}

// Moves entry `index` of `from` to the end of `to`, element index and all.
void MoveEntry(ListBox& from, int index, ListBox& to) {
  to.SetItemData(to.AddItem(from.List(index)), from.ItemData(index));
  from.RemoveItem(index);
}

void MoveAll(ListBox& from, ListBox& to) {
  for (int i = from.ListCount() - 1; i >= 0; --i) MoveEntry(from, i, to);
}

void Exchange(ListBox& list, int a, int b) {
  const std::string text = list.List(a);
  const std::int32_t data = list.ItemData(a);
  list.SetList(a, list.List(b));
  list.SetItemData(a, list.ItemData(b));
  list.SetList(b, text);
  list.SetItemData(b, data);
}

}  // namespace

std::vector<std::string> TickedForms(const FormsTab& tab) {
  std::vector<std::string> forms;
  for (int i = 0; i < tab.lstForms.ListCount(); ++i) {
    if (tab.lstForms.Selected(i)) forms.push_back(tab.lstForms.List(i));
  }
  return forms;
}

void pctForms_Click(frmUtility& window, int index) {
  if (index == 0) {
    window.cd1.filter = kIconFilter;
    window.cd1.title = kIconTitle;
    window.cd1.ShowOpen(window.Platform());
    try {
      window.pctForms(0).SetPicture(designer::LoadIcon(window.cd1.file_name));
    } catch (const designer::IconError& refused) {
      ShowError(window, refused.what());
    }
  } else if (index == 1) {
    window.cd1.ShowColor(window.Platform());
    if (!designer::IsOleColor(window.cd1.color)) {
      ShowError(window, "&H" + ColorHex(window.cd1.color) + "& is not a colour a form can hold");
      window.cd1.color = window.pctForms(1).BackColor();
      return;
    }
    window.pctForms(1).SetBackColor(window.cd1.color);
  }
}

void cmdChange_Click(frmUtility& window, int index) {
  struct ListRow {
    const ComboBox FormsTab::*list;
    const char* property;
  };
  static constexpr ListRow kRows[] = {{&FormsTab::cmbScaleMode, "ScaleMode"},
                                      {&FormsTab::cmbStartUpPos, "StartUpPosition"},
                                      {&FormsTab::cmbBorderForm, "BorderStyle"},
                                      {&FormsTab::cmbWndState, "WindowState"}};
  if (index == 0) return Apply(window, "Icon", window.pctForms(0).Picture());
  if (index == 1) return Apply(window, "BackColor", window.pctForms(1).BackColor());
  if (index < 2 || index > 5) return;
  const ListRow& row = kRows[index - 2];
  const int chosen = (window.*row.list).ListIndex();
  if (chosen < 0) return;
  Apply(window, row.property, static_cast<std::int32_t>(chosen));
}

void cmdTaskBar_Click(frmUtility& window, int index) {
  if (index == 0 || index == 1) Apply(window, "ShowInTaskbar", index == 0);
}

void cmdTrueFalse_Click(frmUtility& window, int index) {
  if (index < 0 || index > 3) return;
  Apply(window, index < 2 ? "WhatsThisButton" : "WhatsThisHelp", index % 2 == 0);
}

void cmbForms_Click(frmUtility& window) {
  window.lstControls.Clear();
  host::Component* form = ChosenForm(window);
  host::FormDesigner* designer = form != nullptr ? form->Designer() : nullptr;
  if (designer == nullptr) return;
  for (std::string& name : designer::ControlNames(*designer))
    window.lstControls.AddItem(std::move(name));
}

void cmdDelControl_Click(frmUtility& window) {
  const int chosen = window.lstControls.ListIndex();
  host::Component* form = ChosenForm(window);
  if (chosen < 0 || form == nullptr) return;
  try {
    designer::DeleteControl(*form, window.lstControls.Text());
    window.lstControls.RemoveItem(chosen);
  } catch (const std::exception& refused) {
    ShowError(window, refused.what());
  }
}

void cmdRenControl_Click(frmUtility& window) {
  const int chosen = window.lstControls.ListIndex();
  const std::string new_name = window.txtNewNameControl.Text();
  host::Component* form = ChosenForm(window);
  if (chosen < 0 || new_name.empty() || form == nullptr) return;
  try {
    designer::RenameControl(*form, window.lstControls.Text(), new_name);
    window.lstControls.SetList(chosen, new_name);
  } catch (const std::exception& refused) {
    ShowError(window, refused.what());
  }
}

void cmdGetTab_Click(frmUtility& window) {
  host::Component* form = ChosenForm(window);
  host::FormDesigner* designer = form != nullptr ? form->Designer() : nullptr;
  if (designer == nullptr) return;
  const designer::TabOrder lists = designer::ReadTabOrder(*designer);
  Fill(window.lstTabOrder, lists.order);
  Fill(window.lstTabStop, lists.no_stop);
}

void cmdSaveTab_Click(frmUtility& window) {
  host::Component* form = ChosenForm(window);
  host::FormDesigner* designer = form != nullptr ? form->Designer() : nullptr;
  if (designer == nullptr) return;
  try {
    designer::WriteTabOrder(*designer, {Entries(window.lstTabOrder), Entries(window.lstTabStop)});
  } catch (const std::exception& refused) {
    ShowError(window, refused.what());
  }
}

void cmdTab_Click(frmUtility& window, int index) {
  ListBox& order = window.lstTabOrder;
  ListBox& no_stop = window.lstTabStop;
  switch (index) {
    case 0:
      if (order.ListIndex() >= 0) MoveEntry(order, order.ListIndex(), no_stop);
      return;
    case 1:
      return MoveAll(order, no_stop);
    case 2:
      if (no_stop.ListIndex() >= 0) MoveEntry(no_stop, no_stop.ListIndex(), order);
      return;
    case 3:
      return MoveAll(no_stop, order);
    default:
      return;
  }
}

void cmdTabUpDown_Click(frmUtility& window, int index) {
  ListBox& order = window.lstTabOrder;
  const int chosen = order.ListIndex();
  if (index == 0 && chosen >= 1) {
    Exchange(order, chosen - 1, chosen);
    order.SetListIndex(chosen - 1);
  } else if (index == 1 && chosen >= 0 && chosen < order.ListCount() - 1) {
    Exchange(order, chosen, chosen + 1);
    order.SetListIndex(chosen + 1);
  }
}

void AttachDesignerTabs(frmUtility& window) {
  window.pctForms.OnClick([&window](int index) { pctForms_Click(window, index); });
  window.cmdChange.OnClick([&window](int index) { cmdChange_Click(window, index); });
  window.cmdTaskBar.OnClick([&window](int index) { cmdTaskBar_Click(window, index); });
  window.cmdTrueFalse.OnClick([&window](int index) { cmdTrueFalse_Click(window, index); });
  window.cmbForms.OnClick([&window] { cmbForms_Click(window); });
  window.cmdDelControl.OnClick([&window] { cmdDelControl_Click(window); });
  window.cmdRenControl.OnClick([&window] { cmdRenControl_Click(window); });
  window.cmdGetTab.OnClick([&window] { cmdGetTab_Click(window); });
  window.cmdSaveTab.OnClick([&window] { cmdSaveTab_Click(window); });
  window.cmdTab.OnClick([&window](int index) { cmdTab_Click(window, index); });
  window.cmdTabUpDown.OnClick([&window](int index) { cmdTabUpDown_Click(window, index); });
}

}  // namespace marquill::shell

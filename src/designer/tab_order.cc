#include "designer/tab_order.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "host/text/vb_text.h"

namespace marquill::designer {
namespace {

// A property's value, or nothing when the control does not have it.
std::optional<host::PropertyValue> Read(host::Control& control, std::string_view property) {
  try {
    return control.Properties().Item(property).Value();
  } catch (const host::HostError&) {
    return std::nullopt;
  }
}

TabEntry EntryOf(host::Control& control) {
  TabEntry entry{std::get<std::string>(control.Properties().Item("Name").Value()), -1};
  if (const auto index = Read(control, "Index")) {
    if (const auto* whole = std::get_if<std::int32_t>(&*index)) entry.index = *whole;
  }
  return entry;
}

std::string Key(const TabEntry& entry) {
  return host::LowerAscii(entry.name) + "(" + std::to_string(entry.index) + ")";
}

}  // namespace

std::string EntryText(const TabEntry& entry) {
  return entry.index < 0 ? entry.name : entry.name + "(" + std::to_string(entry.index) + ")";
}

TabEntry ParseEntryText(const std::string& text) {
  const std::size_t open = text.find('(');
  if (open == std::string::npos) {
    if (text.empty() || text.find(')') != std::string::npos)
      throw std::invalid_argument("'" + text + "' is not a control name");
    return {text, -1};
  }
  const std::string digits = text.substr(open + 1, text.size() - open - 2);
  if (open == 0 || text.back() != ')' || digits.empty() || digits.size() > 5 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw std::invalid_argument("'" + text + "' is not a control name or NAME(INDEX)");
  }
  return {text.substr(0, open), std::stoi(digits)};
}

TabOrder ReadTabOrder(host::FormDesigner& designer) {
  TabOrder lists;
  host::DesignerControls& controls = designer.AllControls();
  const int count = controls.Count();
  // Slots 0 to n: a tab index outside them (a damaged form) leaves the control out.
  std::vector<std::optional<TabEntry>> slots(static_cast<std::size_t>(count) + 1);
  for (host::Control& control : controls) {
    const std::optional<host::PropertyValue> stop = Read(control, "TabStop");
    const bool stops = !stop || *stop == host::PropertyValue(true);
    if (!stops) {
      lists.no_stop.push_back(EntryOf(control));
      continue;
    }
    const std::optional<host::PropertyValue> index = Read(control, "TabIndex");
    const auto* whole = index ? std::get_if<std::int32_t>(&*index) : nullptr;
    if (whole == nullptr || *whole < 0 || *whole > count) continue;
    slots[static_cast<std::size_t>(*whole)] = EntryOf(control);
  }
  for (const std::optional<TabEntry>& slot : slots) {
    if (slot) lists.order.push_back(*slot);
  }
  return lists;
}

namespace {

// Every listed entry's control, `no_stop` first; TabOrderError for an entry that cannot be
// written.
std::vector<host::Control*> ListedControls(host::FormDesigner& designer, const TabOrder& lists) {
  std::map<std::string, host::Control*> by_key;
  std::set<std::string> arrays;
  for (host::Control& control : designer.AllControls()) {
    const TabEntry entry = EntryOf(control);
    by_key.emplace(Key(entry), &control);
    if (entry.index >= 0) arrays.insert(host::LowerAscii(entry.name));
  }
  std::set<std::string> named;
  const auto find = [&](const TabEntry& entry) {
    const auto found = by_key.find(Key(entry));
    if (found == by_key.end()) {
      if (entry.index < 0 && arrays.count(host::LowerAscii(entry.name)) != 0) {
        throw TabOrderError(entry.name + " is a control array: name an element, such as " +
                            entry.name + "(0)");
      }
      throw TabOrderError("the form has no control " + EntryText(entry));
    }
    if (!named.insert(Key(entry)).second) throw TabOrderError(EntryText(entry) + " is named twice");
    return found->second;
  };
  std::vector<host::Control*> controls;
  for (const TabEntry& entry : lists.no_stop) controls.push_back(find(entry));
  for (const TabEntry& entry : lists.order) controls.push_back(find(entry));
  return controls;
}

}  // namespace

void CheckTabOrder(host::FormDesigner& designer, const TabOrder& lists) {
  ListedControls(designer, lists);
}

void WriteTabOrder(host::FormDesigner& designer, const TabOrder& lists) {
  const std::vector<host::Control*> controls = ListedControls(designer, lists);
  const auto split = controls.begin() + static_cast<std::ptrdiff_t>(lists.no_stop.size());
  const std::vector<host::Control*> no_stop(controls.begin(), split);
  const std::vector<host::Control*> order(split, controls.end());
  for (host::Control* control : no_stop) {
    if (Read(*control, "TabStop")) control->Properties().Item("TabStop").SetValue(false);
  }
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (Read(*order[i], "TabStop")) order[i]->Properties().Item("TabStop").SetValue(true);
    if (Read(*order[i], "TabIndex")) {
      order[i]->Properties().Item("TabIndex").SetValue(static_cast<std::int32_t>(i));
    }
  }
}

}  // namespace marquill::designer

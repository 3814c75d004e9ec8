// The tab order editor: a form's tab order and tab stops read into two lists and written back.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "host/code_model.h"

namespace marquill::designer {

// A control of the lists: its name, and for an element of a control array its Index (-1 for a
// lone control), so each element keeps its own place.
struct TabEntry {
  std::string name;
  int index = -1;
  friend bool operator==(const TabEntry&, const TabEntry&) = default;
};

// "txtField(2)" for an array element, "txtName" otherwise.
std::string EntryText(const TabEntry& entry);
// Reads "txtField(2)" or "txtName"; std::invalid_argument for anything else.
TabEntry ParseEntryText(const std::string& text);

struct TabOrder {
  std::vector<TabEntry> order;    // tab stop on (or none at all), by tab index
  std::vector<TabEntry> no_stop;  // tab stop off, in the designer's order
  friend bool operator==(const TabOrder&, const TabOrder&) = default;
};

// A refused write; nothing has been changed.
class TabOrderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the designer's controls, nested ones included. A control whose TabStop is True, or that
// has no TabStop (labels, frames), goes into `order` at its TabIndex; one whose TabStop is False
// goes into `no_stop`; a control without TabIndex (lines, images, timers) into neither.
TabOrder ReadTabOrder(host::FormDesigner& designer);

// TabOrderError when the lists cannot be written: an entry that names no control of the
// designer (an array element by its index, a lone control without one), or a control named twice.
void CheckTabOrder(host::FormDesigner& designer, const TabOrder& lists);

// Checks the lists first (CheckTabOrder): every entry must name a control of the designer (an array element by
// its index, a lone control without one) and no control may be named twice. Then switches the
// tab stop off for `no_stop`, and for `order` on, with tab indexes 0, 1, 2 ... in list order
// (a control without TabStop gets the index only). Controls not listed keep their values.
void WriteTabOrder(host::FormDesigner& designer, const TabOrder& lists);

}  // namespace marquill::designer

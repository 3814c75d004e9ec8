// Housekeeping of the IDE's own windows, from the add-in's menu and toolbar.
#pragma once

#include "host/code_model.h"

namespace marquill::shell {

// Closes every code window and designer, in collection order; tool windows stay open. A window
// that refuses to close is skipped.
void CloseAllWindows(host::Vbe& vbe);

// Empties the Immediate window's text directly, so no keystroke can reach another window and the
// focus stays where it was. Without an Immediate window nothing is touched.
void ClearImmediateWindow(host::Vbe& vbe);

}  // namespace marquill::shell

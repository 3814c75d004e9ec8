#include <windows.h>

#include "host/vbfiles/code_page.h"

namespace marquill::host::vbfiles {

int MachineCodePage() { return static_cast<int>(GetACP()); }

}  // namespace marquill::host::vbfiles

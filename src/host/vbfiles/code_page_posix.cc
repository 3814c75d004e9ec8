#include "host/vbfiles/code_page.h"

namespace marquill::host::vbfiles {

// File names on disk here are UTF-8: no code page of the machine's own comes first.
int MachineCodePage() { return 0; }

}  // namespace marquill::host::vbfiles

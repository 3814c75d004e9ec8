#include <windows.h>
// (windows.h first: shellapi.h needs its types.)
#include <shellapi.h>

#include "host/platform/program_arguments.h"
#include "host/platform/windows_text.h"

namespace marquill::host {

// main() gets its arguments in the ANSI code page, where a name outside it is lost; the command
// line as the system keeps it is UTF-16, and is split here as the runtime splits it.
ProgramArguments::ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr && count == argc) {
    for (int i = 0; i < count; ++i) texts_.push_back(Utf8FromWide(wide[i]));
  } else {
    texts_.assign(argv, argv + argc);
  }
  if (wide != nullptr) LocalFree(wide);
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

}  // namespace marquill::host

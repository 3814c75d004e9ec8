#include "host/platform/program_arguments.h"

namespace marquill::host {

// Arguments come as the bytes the shell passed; names on disk are those same bytes.
ProgramArguments::ProgramArguments(int argc, char** argv) : texts_(argv, argv + argc) {
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

}  // namespace marquill::host

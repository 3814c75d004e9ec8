// The program's command-line arguments as UTF-8 text, whatever the system hands to main().
#pragma once

#include <string>
#include <vector>

namespace marquill::host {

class ProgramArguments {
 public:
  ProgramArguments(int argc, char** argv);

  int Count() const { return static_cast<int>(pointers_.size()) - 1; }
  // argv-style: Count() texts followed by a null pointer, alive as long as this object.
  char** Values() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

}  // namespace marquill::host

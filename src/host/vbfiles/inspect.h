// What `marquill info` and `marquill check` print, as text and results, apart from any front end.
#pragma once

#include <string>

#include "host/vbfiles/vb_project.h"

namespace marquill::host::vbfiles {

// The project, its components (name, type name, file, line count), each module's members (name,
// type, procedure kinds with their line ranges), the references, and each designer's controls.
std::string DescribeProject(VbProject& project);

struct RoundTrip {
  bool identical = false;
  std::string report;  // one line: the files that round-trip, or where the first difference is
};

// Renders every file of a freshly loaded project and compares it with the disk, byte for byte.
RoundTrip CheckRoundTrip(VbProject& project);

}  // namespace marquill::host::vbfiles

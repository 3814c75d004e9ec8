#include "host/files/name_on_disk.h"

namespace marquill::host {

// A name that exists here is spelled as written: letter case counts.
std::filesystem::path NameOnDisk(const std::filesystem::path& existing) {
  return existing.filename();
}

}  // namespace marquill::host

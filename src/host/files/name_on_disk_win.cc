#include <windows.h>

#include "host/files/name_on_disk.h"

namespace marquill::host {

std::filesystem::path NameOnDisk(const std::filesystem::path& existing) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(existing.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return existing.filename();
  FindClose(search);
  return std::filesystem::path(found.cFileName);
}

}  // namespace marquill::host

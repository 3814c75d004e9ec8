// The Windows side of the add-in's folders, open to tests.
#pragma once

#include <filesystem>

#include "host/paths/paths.h"

namespace marquill::host {

// The folder marquill.exe was started from.
std::filesystem::path ProgramFolder();
// Whether a new file can be created in `folder` (a probe that removes itself).
bool CanCreateFilesIn(const std::filesystem::path& folder);
// `program_folder` when files can be created there, else %APPDATA%\Marquill; PathError when
// neither is there.
std::filesystem::path WindowsAddInFolder(const std::filesystem::path& program_folder,
                                         const EnvLookup& env);

}  // namespace marquill::host

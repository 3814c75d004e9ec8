// How the file system spells a name it found: a system whose names ignore letter case finds
// "MODULE1.BAS" for "Module1.bas", and the program must call the file by its own name, so that
// two spellings of one file are one file.
#pragma once

#include <filesystem>

namespace marquill::host {

// The last part of `existing` as the file system stores it; its own last part when the system
// keeps names as they are written, or when it cannot be asked.
std::filesystem::path NameOnDisk(const std::filesystem::path& existing);

}  // namespace marquill::host

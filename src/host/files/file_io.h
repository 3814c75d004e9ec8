// Files written whole (settings, help page, exports, logs) go through a temporary file beside the
// target, flushed and renamed over it, so a failure never leaves a half-written file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marquill::host {

// Throws std::system_error when the file cannot be written; the target is then untouched.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The whole file, std::nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Appends in one write, creating the file when missing. Throws std::system_error on failure.
void AppendToFile(const std::string& path, std::string_view bytes);

}  // namespace marquill::host

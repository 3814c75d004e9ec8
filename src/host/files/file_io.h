// Files written whole (settings, help page, exports, logs) go through a temporary file beside the
// target, flushed and renamed over it, so a failure never leaves a half-written file.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace marquill::host {

// Throws std::system_error when the file cannot be written; the target is then untouched.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The whole file; std::system_error when it cannot be opened or read.
std::string ReadFile(const std::string& path);
// The whole file, std::nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Appends in one write, creating the file when missing. Throws std::system_error on failure.
void AppendToFile(const std::string& path, std::string_view bytes);

// The building blocks, shared with writers that replace several files at once.
struct TemporaryFile {
  int fd = -1;       // open for writing; -1 when it could not be created (errno says why)
  std::string path;  // hidden, unique, in the target's folder
};
TemporaryFile CreateTemporaryBeside(const std::string& target);
// Writes every byte, resuming after short writes; false (errno set) on failure.
bool WriteAllBytes(int fd, std::string_view bytes);
// The mode a replacement gets: the target's own, or what a new file gets under the umask.
mode_t ReplacementMode(const std::string& target);

}  // namespace marquill::host

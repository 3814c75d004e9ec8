// Files written whole (settings, help page, exports, logs) go through a temporary file beside the
// target, flushed and renamed over it, so a failure never leaves a half-written file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace marquill::host {

// Throws std::system_error when the file cannot be written; the target is then untouched.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// More than any source file, project or script a person keeps: a larger "file" is a device, a
// mistake or an attack, and reading it would only exhaust memory.
inline constexpr std::size_t kMaxReadBytes = std::size_t{512} << 20;

// A file that cannot be read. what() is "PATH: reason"; reason() is the reason alone ("No such
// file or directory", "not a regular file (a FIFO)").
class ReadError : public std::system_error {
 public:
  ReadError(std::error_code code, const std::string& path, std::string reason)
      : std::system_error(code, path + ": " + reason), reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// The whole of a regular file (or of one a symbolic link leads to). Anything else (a FIFO, a
// device, a folder) and anything over `max_bytes` is refused without waiting or reading: ReadError.
std::string ReadFile(const std::string& path, std::size_t max_bytes = kMaxReadBytes);
// The whole file, std::nullopt when it cannot be read (as ReadFile refuses).
std::optional<std::string> ReadWholeFile(const std::string& path);
// Why ReadFile would refuse `path` without reading it ("" when it would read it): what a writer
// asks before replacing a file that must stay what it is (a device behind a link, say).
std::string NotARegularFile(const std::string& path);
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

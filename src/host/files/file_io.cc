#include "host/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace marquill::host {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::system_error(errno, std::generic_category(), what + " " + path);
}

// The file a path names: a symbolic link is followed, so replacing the file keeps the link.
std::string FollowLinks(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
  return error ? path : target.string();
}

}  // namespace

TemporaryFile CreateTemporaryBeside(const std::string& target) {
  const std::filesystem::path path(target);
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string pattern = (folder / ("." + path.filename().string() + ".marquill-XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  return {fd, fd < 0 ? std::string() : pattern};
}

bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

mode_t ReplacementMode(const std::string& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  // Read once: umask() can only be read by setting it, which threads must not race on.
  static const mode_t mask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
  }();
  return 0666 & ~mask;
}

void WriteFileAtomically(const std::string& link_or_path, std::string_view bytes) {
  const std::string path = FollowLinks(link_or_path);
  const TemporaryFile temp = CreateTemporaryBeside(path);
  if (temp.fd < 0) Fail("cannot create a file beside", path);
  // mkstemp creates 0600: the replacement takes the target's own mode.
  const char* failed = nullptr;
  if (!WriteAllBytes(temp.fd, bytes) || ::fsync(temp.fd) != 0 ||
      ::fchmod(temp.fd, ReplacementMode(path)) != 0) {
    failed = "cannot write";
  }
  int reason = errno;
  if (::close(temp.fd) != 0 && failed == nullptr) {
    failed = "cannot write";
    reason = errno;
  }
  if (failed == nullptr && ::rename(temp.path.c_str(), path.c_str()) != 0) {
    failed = "cannot replace";
    reason = errno;
  }
  if (failed == nullptr) return;
  ::unlink(temp.path.c_str());
  errno = reason;
  Fail(failed, path);
}

namespace {

[[noreturn]] void Refuse(int error_number, const std::string& path, std::string reason) {
  throw ReadError(std::error_code(error_number, std::generic_category()), path, std::move(reason));
}

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

std::string NotRegular(mode_t mode) {
  return S_ISREG(mode) ? std::string() : "not a regular file (" + KindOf(mode) + ")";
}

std::string TooLarge(std::size_t max_bytes) {
  return "larger than " + std::to_string(max_bytes) + " bytes, more than any source file holds";
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::string NotARegularFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return "";
  return NotRegular(info.st_mode);
}

std::string ReadFile(const std::string& path, std::size_t max_bytes) {
  // Plain reads so that a failing read (an I/O error) is told apart from an empty file; a stream
  // would report both as no bytes. O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) Refuse(errno, path, std::strerror(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) Refuse(errno, path, std::strerror(errno));
  if (const std::string reason = NotRegular(info.st_mode); !reason.empty())
    Refuse(EINVAL, path, reason);
  if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > max_bytes)
    Refuse(EFBIG, path, TooLarge(max_bytes));
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  std::array<char, 1 << 16> buffer;
  for (;;) {
    // Straight into the string while it has room, so a large file is copied once.
    const std::size_t room = bytes.capacity() - bytes.size();
    const std::size_t old_size = bytes.size();
    ssize_t got = 0;
    if (room > 0) {
      bytes.resize(bytes.capacity());
      got = ::read(fd.get(), bytes.data() + old_size, room);
      bytes.resize(old_size + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    } else {
      got = ::read(fd.get(), buffer.data(), buffer.size());
      if (got > 0) bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    if (got == 0) break;
    if (got < 0 && errno != EINTR) Refuse(errno, path, std::strerror(errno));
    // A file that grows while it is read is still held to the limit.
    if (bytes.size() > max_bytes) Refuse(EFBIG, path, TooLarge(max_bytes));
  }
  return bytes;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  try {
    return ReadFile(path);
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

void AppendToFile(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot open", path);
  if (!WriteAllBytes(fd, bytes)) {
    const int reason = errno;
    ::close(fd);
    errno = reason;
    Fail("cannot write", path);
  }
  if (::close(fd) != 0) Fail("cannot close", path);
}

}  // namespace marquill::host

#include "host/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace marquill::host {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::system_error(errno, std::generic_category(), what + " " + path);
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", path);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// The mode a replacement should have: the target's own, or that of an ordinary new file.
mode_t ModeFor(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  return 0644;
}

// The file a path names: a symbolic link is followed, so replacing the file keeps the link.
std::string FollowLinks(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
  return error ? path : target.string();
}

}  // namespace

void WriteFileAtomically(const std::string& link_or_path, std::string_view bytes) {
  const std::string path = FollowLinks(link_or_path);
  std::string temp_template = path + ".tmp.XXXXXX";
  std::vector<char> name(temp_template.begin(), temp_template.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) Fail("cannot create a file beside", path);
  std::string temp(name.data());
  try {
    WriteAll(fd, bytes, temp);
    if (::fsync(fd) != 0) Fail("cannot flush", temp);
    // mkstemp creates 0600: the replacement takes the target's own mode, a new file 0644.
    ::fchmod(fd, ModeFor(path));  // best effort
  } catch (...) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
    int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    Fail("cannot replace", path);
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // Plain reads so that a failing read (a folder given as a file, an I/O error) is told apart
  // from an empty file; a stream would report both as no bytes.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

void AppendToFile(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot open", path);
  try {
    WriteAll(fd, bytes, path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) Fail("cannot close", path);
}

}  // namespace marquill::host

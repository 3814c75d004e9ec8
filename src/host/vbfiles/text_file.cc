#include "host/vbfiles/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "host/vbfiles/load_error.h"

namespace marquill::host::vbfiles {
namespace fs = std::filesystem;

namespace {

int LineOfOffset(std::string_view bytes, std::size_t offset) {
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

TextImage SplitText(std::string_view bytes, const std::string& file_name) {
  TextImage image;
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == '\0') --end;
  image.nul_tail = bytes.size() - end;
  const std::string_view text = bytes.substr(0, end);
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
    throw LoadError(file_name, LineOfOffset(text, nul), "binary file: NUL byte inside the text");
  }
  image.lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t brk = text.find_first_of("\r\n", start);
    if (brk == std::string_view::npos) {
      image.lines.push_back({std::string(text.substr(start)), Eol::kNone});
      break;
    }
    Eol eol = Eol::kLf;
    std::size_t next = brk + 1;
    if (text[brk] == '\r') {
      if (next < text.size() && text[next] == '\n') {
        eol = Eol::kCrLf;
        ++next;
      } else {
        eol = Eol::kCr;
      }
    }
    image.lines.push_back({std::string(text.substr(start, brk - start)), eol});
    start = next;
  }
  return image;
}

Eol DominantEol(const std::vector<SourceLine>& lines) {
  std::array<std::size_t, 3> counts{};  // kCrLf, kLf, kCr
  for (const SourceLine& line : lines) {
    if (line.eol != Eol::kNone) ++counts[static_cast<std::size_t>(line.eol)];
  }
  if (counts[1] > counts[0] && counts[1] >= counts[2]) return Eol::kLf;
  if (counts[2] > counts[0] && counts[2] > counts[1]) return Eol::kCr;
  return Eol::kCrLf;
}

void LineWriter::Write(std::string_view text, Eol eol) {
  if (open_) out_ += EolText(fill_);
  out_ += text;
  out_ += EolText(eol);
  open_ = eol == Eol::kNone;
}

std::string ReadFileBytes(const fs::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw LoadError(path.string(), 0, std::strerror(errno));
  std::string bytes;
  std::array<char, 1 << 16> buffer;
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) bytes.append(buffer.data(), got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw LoadError(path.string(), 0, "cannot read the file");
  return bytes;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), FoldAscii);
  return lower;
}

fs::path ResolveListedPath(const fs::path& base, std::string_view listed) {
  std::string relative(listed);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  fs::path resolved = relative.starts_with('/') ? fs::path("/") : base;
  std::error_code error;
  for (const fs::path& part : fs::path(relative).relative_path()) {
    if (part.empty()) continue;
    fs::path exact = resolved / part;
    if (part == "." || part == ".." || fs::exists(exact, error)) {
      resolved = std::move(exact);
      continue;
    }
    fs::path found;
    for (fs::directory_iterator it(resolved.empty() ? fs::path(".") : resolved, error), end;
         !error && it != end; it.increment(error)) {
      if (EqualsNoCase(it->path().filename().native(), part.native())) {
        found = resolved / it->path().filename();
        break;
      }
    }
    if (found.empty()) return {};
    resolved = std::move(found);
  }
  return fs::exists(resolved, error) ? resolved : fs::path();
}

namespace {

[[noreturn]] void Fail(const fs::path& path, const std::string& what, int error_number) {
  throw SaveError(path.string() + ": " + what + ": " + std::strerror(error_number));
}

bool WriteAll(int fd, std::string_view bytes) {
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

// The mode a replacement should have: the target's own, or what a new file gets.
mode_t ModeFor(const fs::path& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFileSet::~AtomicFileSet() {
  for (const Staged& staged : staged_) ::unlink(staged.temp.c_str());
}

void AtomicFileSet::Stage(const fs::path& target, std::string_view bytes) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string pattern = (folder / ("." + target.filename().string() + ".marquill-XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) Fail(target, "cannot create a temporary file", errno);
  staged_.push_back({target, pattern});
  const bool ok = WriteAll(fd, bytes) && ::fchmod(fd, ModeFor(target)) == 0 && ::fsync(fd) == 0;
  const int error_number = errno;
  if (::close(fd) != 0 || !ok) Fail(target, "cannot write", ok ? errno : error_number);
}

void AtomicFileSet::Commit() {
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    if (::rename(staged_[i].temp.c_str(), staged_[i].target.c_str()) != 0) {
      const int error_number = errno;
      const fs::path target = staged_[i].target;
      staged_.erase(staged_.begin(), staged_.begin() + static_cast<std::ptrdiff_t>(i));
      Fail(target, "cannot replace the file", error_number);
    }
  }
  staged_.clear();
}

}  // namespace marquill::host::vbfiles

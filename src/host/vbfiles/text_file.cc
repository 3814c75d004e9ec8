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

#include "host/files/file_io.h"
#include "host/vbfiles/load_error.h"

namespace marquill::host::vbfiles {
namespace fs = std::filesystem;

namespace {

int LineOfOffset(std::string_view bytes, std::size_t offset) {
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

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
  image.lines = SplitSourceText(text);
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
  try {
    return ReadFile(path.string());
  } catch (const std::system_error& error) {
    throw LoadError(path.string(), 0, error.code().message());
  }
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
      if (EqualsNoCase(it->path().filename().string(), part.string())) {
        found = resolved / it->path().filename();
        break;
      }
    }
    if (found.empty()) return {};
    resolved = std::move(found);
  }
  return fs::exists(resolved, error) ? resolved : fs::path();
}

}  // namespace marquill::host::vbfiles

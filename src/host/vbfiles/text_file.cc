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
#include "host/files/name_on_disk.h"
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
  // Padding is a run of NULs that ends a line: an editor padded the file, then lines were added
  // after it. The NULs stay in their line, written back as they were. A run of NULs with more
  // text of the same line after it is what binary files hold.
  for (std::size_t nul = text.find('\0'); nul != std::string_view::npos;) {
    const std::size_t after = text.find_first_not_of('\0', nul);
    if (text[after] != '\r' && text[after] != '\n') {
      throw LoadError(file_name, LineOfOffset(text, nul), "binary file: NUL bytes inside the text");
    }
    nul = text.find('\0', after);
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
  if (open_) Emit(EolText(fill_));
  Emit(text);
  Emit(EolText(eol));
  open_ = eol == Eol::kNone;
}

void LineWriter::Emit(std::string_view bytes) {
  if (bytes.empty()) return;
  // A lone CR followed by LF reads back as one CR LF break: two lines would become one. That can
  // only happen when a line that stood between them (an attribute) was written elsewhere; the
  // CR then becomes CR LF, so the next line's LF stays a line of its own.
  if (bytes.front() == '\n' && !out_.empty() && out_.back() == '\r') out_ += '\n';
  out_ += bytes;
}

std::string ReadFileBytes(const fs::path& path) {
  try {
    return ReadFile(path.string());
  } catch (const ReadError& error) {
    throw LoadError(path.string(), 0, error.reason());
  }
}

fs::path ResolveListedPath(const fs::path& base, std::string_view listed) {
  std::string relative(listed);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  fs::path listed_path;
  try {
    // Read as UTF-8, which decoded names are: Windows' library would read a plain string in
    // another code page. Bytes that are no UTF-8 there name no file.
    listed_path = fs::path(std::u8string(relative.begin(), relative.end()));
  } catch (const std::exception&) {
    return {};
  }
  // An absolute name keeps its root: "/" here, a drive ("C:/") or a share ("//server/") on
  // Windows.
  fs::path resolved = listed_path.has_root_path() ? listed_path.root_path() : base;
  std::error_code error;
  for (const fs::path& part : listed_path.relative_path()) {
    if (part.empty()) continue;
    fs::path exact = resolved / part;
    if (part == "." || part == "..") {
      resolved = std::move(exact);
      continue;
    }
    if (fs::exists(exact, error)) {
      resolved /= NameOnDisk(exact);
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

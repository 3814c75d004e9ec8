// Files as lines of bytes, and the file reads of the project files layer.
//
// Project files are bytes in the machine's code page and are never decoded. Each line keeps its
// own ending, and a run of NUL bytes at the very end of a file (some editors pad with them) is
// kept aside so the text itself stays clean.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"

namespace marquill::host::vbfiles {

struct TextImage {
  std::vector<SourceLine> lines;
  std::size_t nul_tail = 0;  // NUL bytes after the last line
};

// Splits at CR LF, LF and a lone CR. NULs are padding at the end of the file and at the end of
// a line (kept in the line); a NUL with more text of its line after it means the file is not
// text: LoadError naming `file_name` and the line of that byte.
TextImage SplitText(std::string_view bytes, const std::string& file_name);

// The ending most lines of a file use, for lines that edits add (CR LF when there are none).
Eol DominantEol(const std::vector<SourceLine>& lines);

// Writes lines one after another. A line that ended without a break gets `fill` when another line
// follows it, so edits after a file's unterminated last line cannot glue two lines together.
class LineWriter {
 public:
  LineWriter(std::string& out, Eol fill) : out_(out), fill_(fill) {}
  void Write(std::string_view text, Eol eol);
  void Write(const SourceLine& line) { Write(line.text, line.eol); }

 private:
  void Emit(std::string_view bytes);

  std::string& out_;
  Eol fill_;
  bool open_ = false;  // the previous line had no break
};

// The whole file; LoadError (no line) when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// A file name as written in a project file (backslashes, Windows letter case) found under `base`:
// each part is matched exactly, else case-insensitively, as the files come from Windows. Returns
// the empty path when nothing matches.
std::filesystem::path ResolveListedPath(const std::filesystem::path& base, std::string_view listed);

}  // namespace marquill::host::vbfiles

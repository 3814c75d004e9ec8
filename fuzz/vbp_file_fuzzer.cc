// The project file parser on arbitrary bytes: it either refuses them with a LoadError or reads
// them, and a project file it read renders back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/vbp_file.h"

using marquill::fuzz::Require;
namespace vbfiles = marquill::host::vbfiles;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vbfiles::VbpFile vbp;
  try {
    vbp = vbfiles::VbpFile::Parse(bytes, "Fuzz.vbp");
  } catch (const vbfiles::LoadError& error) {
    Require(error.line() >= 0, "a load error names no negative line");
    return 0;
  }
  Require(vbp.Render() == bytes, "an unchanged project file renders to the bytes it was read from");
  const int line_count = static_cast<int>(vbp.lines.size());
  for (const vbfiles::ListedFile& file : vbp.files) {
    Require(file.line >= 1 && file.line <= line_count, "a listed file names a line of the file");
    Require(!file.path.empty(), "a listed file has a path");
  }
  for (const vbfiles::VbpReference& reference : vbp.references)
    Require(reference.line >= 1 && reference.line <= line_count, "a reference names its line");
  return 0;
}

// Control delete and rename on a form module built from the input. Byte 0 chooses the command
// (bit 0: rename, else delete the event procedures of Text1). The rest is the module's text.
// Nothing crashes or hangs, and afterwards:
//   - delete: the module's remaining lines are its old lines in order; each run of removed lines
//     starts with a "Private Sub Text1_" declaration and ends with an End Sub statement;
//   - rename: the module has as many lines as before; a line without "Text1" is unchanged; the
//     string literals of every line are unchanged, and renaming back restores each line in
//     which the new name did not occur before.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "designer/control_tools.h"
#include "fuzz/fuzz_check.h"
#include "host/memory/memory_host.h"

using marquill::fuzz::Require;
namespace host = marquill::host;
namespace designer = marquill::designer;

namespace {

constexpr std::string_view kOld = "Text1";
constexpr std::string_view kNew = "txtName";

std::vector<std::string> Texts(const host::MemoryCodeModule& module) {
  std::vector<std::string> texts;
  for (const host::SourceLine& line : module.AllLines()) texts.push_back(line.text);
  return texts;
}

// Whether a Rem comment starts at `i`: the word Rem, alone, first in its statement.
bool RemAt(std::string_view line, std::size_t i) {
  std::size_t before = i;
  while (before > 0 && (line[before - 1] == ' ' || line[before - 1] == '\t')) --before;
  if (before > 0 && line[before - 1] != ':') return false;
  if (line.size() < i + 3) return false;
  const std::string_view word = line.substr(i, 3);
  if (word != "Rem" && word != "rem" && word != "REM") return false;
  return line.size() == i + 3 || line[i + 3] == ' ' || line[i + 3] == '\t';
}

// The string literals of a line's code, in order, quotes and all.
std::vector<std::string> Literals(std::string_view line) {
  std::vector<std::string> literals;
  std::size_t start = std::string_view::npos;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (start == std::string_view::npos && (line[i] == '\'' || RemAt(line, i))) break;
    if (line[i] != '"') continue;
    if (start == std::string_view::npos) {
      start = i;
    } else if (i + 1 < line.size() && line[i + 1] == '"') {
      ++i;
    } else {
      literals.emplace_back(line.substr(start, i + 1 - start));
      start = std::string_view::npos;
    }
  }
  return literals;
}

void CheckDeleted(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < before.size()) {
    if (next < after.size() && before[i] == after[next] &&
        !designer::StartsEventProcedure(before[i], kOld)) {
      ++next;
      ++i;
      continue;
    }
    Require(designer::StartsEventProcedure(before[i], kOld), "a removal starts at a declaration");
    std::size_t end = i;
    while (end < before.size() && !designer::EndsSub(before[end])) ++end;
    if (end == before.size()) {
      // A declaration without End Sub below stays.
      Require(next < after.size() && after[next] == before[i], "an unended declaration stays");
      ++next;
      ++i;
      continue;
    }
    i = end + 1;
  }
  Require(next == after.size(), "delete adds no line");
}

void CheckRenamed(const std::vector<std::string>& before, const std::vector<std::string>& after,
                  const std::vector<std::string>& procedures) {
  Require(before.size() == after.size(), "rename keeps the line count");
  std::vector<std::string> back_procedures;
  for (const std::string& name : procedures)
    back_procedures.push_back(std::string(kNew) + name.substr(kOld.size()));
  std::sort(back_procedures.begin(), back_procedures.end());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i].find(kOld) == std::string::npos) {
      Require(before[i] == after[i], "a line without the name is unchanged");
      continue;
    }
    Require(Literals(before[i]) == Literals(after[i]), "string literals are unchanged");
    if (before[i].find(kNew) != std::string::npos) continue;
    Require(designer::RenameInLine(after[i], kNew, kOld, back_procedures) == before[i],
            "renaming back restores the line");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  host::MemoryProject project("Fuzz");
  host::MemoryCodeModule& module = project.AddComponent("frmFuzz", host::ComponentType::kVBForm)
                                       .SetCode(host::SplitSourceText(text));
  const std::vector<std::string> before = Texts(module);
  if ((data[0] & 1) != 0) {
    std::vector<std::string> procedures;
    for (const std::string& line : before) {
      if (!designer::StartsEventProcedure(line, kOld)) continue;
      std::string_view rest = line;
      rest.remove_prefix(rest.find("Private Sub ") + 12);
      std::size_t end = 0;
      while (end < rest.size() &&
             (std::isalnum(static_cast<unsigned char>(rest[end])) || rest[end] == '_' ||
              static_cast<unsigned char>(rest[end]) >= 0x80))
        ++end;
      procedures.emplace_back(rest.substr(0, end));
    }
    designer::RenameInCode(module, kOld, kNew);
    CheckRenamed(before, Texts(module), procedures);
  } else {
    designer::DeleteEventProcedures(module, kOld);
    CheckDeleted(before, Texts(module));
  }
  return 0;
}

// The six line procedures on a module built from the input. The first bytes choose the command,
// the width, the range and the line ending of new lines; the rest is the module's text, split
// into lines. A procedure may end on a host failure (that is how a read past the module's end
// shows), but it never crashes or hangs, and afterwards:
//   - lines above the range are untouched, and so are lines below it for every command but
//     JoinLines, which goes on past its end after a join;
//   - DelEmptyRows never adds a line, DelComments and CompactStrings keep the count;
//   - JoinLines leaves no continued line in the range, unless it reached the module's end or
//     left a statement continued that one code line could not hold;
//   - SplitLines run again over the lines it wrote changes nothing;
//   - the module reads back whole: lines, members, procedure ranges.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "host/code_model.h"
#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"
#include "transform/indentation.h"
#include "transform/line_cleanup.h"
#include "transform/split_join.h"

using marquill::fuzz::Require;
namespace host = marquill::host;
namespace transform = marquill::transform;

namespace {

enum class Command : std::uint8_t {
  kDelEmptyRows,
  kDelComments,
  kCompactStrings,
  kJoinLines,
  kSplitLines,
  kIndentLines,
  kCount,
};

struct Run {
  Command command;
  int width;  // SplitLines and IndentLines; a few values below 1 too
  int first;
  int last;
  bool delete_all;
  host::Eol new_line_eol;
};

constexpr std::size_t kHeaderSize = 4;

// Ranges run from line 1 to one past the end, so reads past the last line happen as well.
Run ReadRun(const std::uint8_t* header, int count) {
  Run run{};
  run.command = static_cast<Command>(header[0] % static_cast<int>(Command::kCount));
  run.delete_all = (header[0] & 0x80) != 0;
  run.new_line_eol = (header[0] & 0x40) != 0 ? host::Eol::kLf : host::Eol::kCrLf;
  run.width = static_cast<int>(header[1]) - 2;
  run.first = 1 + header[2] % (count + 1);
  run.last = std::min(count + 1, run.first - 1 + header[3] % (count + 2));
  return run;
}

std::vector<std::string> Texts(const host::MemoryCodeModule& module) {
  std::vector<std::string> texts;
  for (const host::SourceLine& line : module.AllLines()) texts.push_back(line.text);
  return texts;
}

// Returns false when the procedure ended on a host failure.
bool Execute(const Run& run, host::CodeModule& module, transform::JoinReport& join) {
  try {
    switch (run.command) {
      case Command::kDelEmptyRows:
        transform::DelEmptyRows(module, run.first, run.last, run.delete_all);
        break;
      case Command::kDelComments:
        transform::DelComments(module, run.first, run.last);
        break;
      case Command::kCompactStrings:
        transform::CompactStrings(module, run.first, run.last);
        break;
      case Command::kJoinLines:
        transform::JoinLines(module, run.first, run.last, &join);
        break;
      case Command::kSplitLines:
        transform::SplitLines(module, run.first, run.last, run.width);
        break;
      case Command::kIndentLines:
        transform::IndentLines(module, run.first, run.last, run.width);
        break;
      case Command::kCount:
        break;
    }
  } catch (const host::HostError&) {
    return false;
  }
  return true;
}

void CheckUntouchedAround(const Run& run, const std::vector<std::string>& before,
                          const std::vector<std::string>& after) {
  const std::size_t above = static_cast<std::size_t>(std::min<int>(run.first - 1, before.size()));
  Require(
      after.size() >= above && std::equal(before.begin(), before.begin() + above, after.begin()),
      "lines above the range are untouched");
  if (run.command == Command::kJoinLines) return;
  const std::size_t below = before.size() - std::min<std::size_t>(before.size(), run.last);
  Require(
      after.size() >= below && std::equal(before.end() - below, before.end(), after.end() - below),
      "lines below the range are untouched");
}

void CheckCount(const Run& run, std::size_t before, std::size_t after) {
  switch (run.command) {
    case Command::kDelEmptyRows:
      Require(after <= before, "DelEmptyRows adds no line");
      break;
    case Command::kDelComments:
    case Command::kCompactStrings:
      Require(after == before, "DelComments and CompactStrings keep the line count");
      break;
    default:
      break;
  }
}

bool IsLoneUnderscore(std::string_view line) { return host::TrimLeadingSpaces(line) == "_"; }

// After a join, a line of the range may still end in " _" only where the statement ran to the
// module's end (the read past it failed), or where a statement's last line was a lone "_", which
// the joining space turns into a mark.
void CheckJoined(const Run& run, bool completed, const std::vector<std::string>& before,
                 const std::vector<std::string>& after) {
  if (std::any_of(before.begin(), before.end(), IsLoneUnderscore)) return;
  const int count = static_cast<int>(after.size());
  const int end = std::min(run.last, count);
  for (int i = std::max(run.first, 1); i <= end; ++i) {
    if (!host::EndsWithContinuation(after[static_cast<std::size_t>(i - 1)])) continue;
    Require(!completed, "JoinLines that completed leaves no continued line in its range");
    for (int k = i; k <= count; ++k) {
      Require(host::EndsWithContinuation(after[static_cast<std::size_t>(k - 1)]),
              "a continued line JoinLines left runs on to the module's end");
    }
    return;
  }
}

// The range grows by the lines the split added; over it, a second split changes nothing.
void CheckSplitStable(const Run& run, host::CodeModule& module,
                      const std::vector<std::string>& before, const std::vector<std::string>& after) {
  const int last = std::min<int>(run.last, static_cast<int>(before.size())) +
                   static_cast<int>(after.size() - before.size());
  transform::SplitLines(module, run.first, last, run.width);
  std::vector<std::string> again;
  for (int i = 1; i <= module.CountOfLines(); ++i) again.push_back(module.Line(i));
  Require(again == after, "SplitLines run again over its own output changes nothing");
}

void CheckReadable(host::MemoryCodeModule& module) {
  const int count = module.CountOfLines();
  const std::vector<host::SourceLine> lines = module.AllLines();
  Require(static_cast<int>(lines.size()) == count, "every line is there to read");
  std::string joined;
  for (int i = 1; i <= count; ++i) {
    const host::SourceLine& line = lines[static_cast<std::size_t>(i - 1)];
    Require(line.text.find_first_of("\r\n") == std::string::npos, "a line holds no break");
    Require(line.eol != host::Eol::kNone || i == count, "only the last line lacks a break");
    Require(module.Line(i) == line.text, "a line reads as stored");
    if (i > 1) joined += host::kLineBreak;
    joined += line.text;
  }
  Require(module.Lines(1, count) == joined, "the whole module reads as its lines");
  host::Members& members = module.Members();
  for (int i = 1; i <= members.Count(); ++i) {
    host::Member& member = members.Item(i);
    const int at = member.CodeLocation();
    Require(at >= 1 && at <= count, "a member is declared on a line of the module");
    try {
      const int start = module.ProcStartLine(member.Name(), host::ProcKind::kProc);
      const int length = module.ProcCountLines(member.Name(), host::ProcKind::kProc);
      Require(start >= 1 && length >= 1 && start + length - 1 <= count,
              "a procedure range lies inside the module");
    } catch (const host::HostError&) {
      // a variable, a constant, a Declare or a property: no Sub or Function range
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeaderSize) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + kHeaderSize,
                              size - kHeaderSize);
  host::MemoryProject project("Fuzz");
  host::MemoryComponent& component = project.AddComponent("Fuzz", host::ComponentType::kStdModule);
  std::vector<host::SourceLine> lines = host::SplitSourceText(text);
  const Run run = ReadRun(data, static_cast<int>(lines.size()));
  host::MemoryCodeModule& module = component.SetCode(std::move(lines), run.new_line_eol);
  const std::vector<std::string> before = Texts(module);

  transform::JoinReport join;
  const bool completed = Execute(run, module, join);

  const std::vector<std::string> after = Texts(module);
  CheckUntouchedAround(run, before, after);
  CheckCount(run, before.size(), after.size());
  if (run.command == Command::kJoinLines && join.left_continued == 0) {
    CheckJoined(run, completed, before, after);
  }
  if (run.command == Command::kSplitLines && completed) CheckSplitStable(run, module, before, after);
  CheckReadable(module);
  return 0;
}

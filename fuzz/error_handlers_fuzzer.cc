// The error-handler commands on a module built from the input. Byte 0 chooses the command
// (% 3: Remove, Insert, Insert custom), its bit 7 the member scope and bit 6 an empty label;
// byte 1 picks the member for the member scope. The rest is the module's text. A member scope
// may end on a host refusal; nothing crashes or hangs, and afterwards:
//   - the module's lines before the command are still there, in order;
//   - Remove adds no line, and keeps every line that is no "On Error Resume Next" statement;
//   - Insert adds only "On Error Resume Next" lines, each inside a procedure's body;
//   - Insert custom adds as many label lines as GoTo lines, each GoTo inside a procedure's body;
//   - the module reads back whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "host/code_model.h"
#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"
#include "transform/error_handlers.h"

using marquill::fuzz::Require;
namespace host = marquill::host;
namespace transform = marquill::transform;

namespace {

enum class Command : std::uint8_t { kRemove, kInsert, kCustom, kCount };

constexpr std::size_t kHeaderSize = 2;
constexpr std::string_view kBody = "    Resume Next";

std::vector<std::string> Texts(const host::MemoryCodeModule& module) {
  std::vector<std::string> texts;
  for (const host::SourceLine& line : module.AllLines()) texts.push_back(line.text);
  return texts;
}

// Indexes (0-based) of `after`'s lines that are not matched to `before` when `before` is
// matched as a subsequence, greedily; Require fails when it is not one.
std::vector<std::size_t> AddedLines(const std::vector<std::string>& before,
                                    const std::vector<std::string>& after) {
  std::vector<std::size_t> added;
  std::size_t next = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (next < before.size() && after[i] == before[next]) {
      ++next;
    } else {
      added.push_back(i);
    }
  }
  Require(next == before.size(), "the module's lines are still there, in order");
  return added;
}

// Whether line `line` (1-based) lies below some procedure's declaration and within its range.
bool InsideAProcedureBody(host::MemoryCodeModule& module, int line) {
  host::Members& members = module.Members();
  for (int i = 1; i <= members.Count(); ++i) {
    const std::string name = members.Item(i).Name();
    for (host::ProcKind kind : {host::ProcKind::kProc, host::ProcKind::kGet, host::ProcKind::kLet,
                                host::ProcKind::kSet}) {
      try {
        const int declaration_end = module.DeclarationEnd(module.ProcBodyLine(name, kind));
        const int last = module.ProcStartLine(name, kind) + module.ProcCountLines(name, kind) - 1;
        if (line > declaration_end && line <= last) return true;
      } catch (const host::HostError&) {
      }
    }
  }
  return false;
}

void Execute(Command command, bool member_scope, const std::string& member, host::MemberType type,
             const transform::CustomHandler& handler, host::CodeModule& module) {
  try {
    switch (command) {
      case Command::kRemove:
        if (member_scope) {
          transform::RemoveResumeNext(module, member, type);
        } else {
          transform::RemoveResumeNext(module);
        }
        break;
      case Command::kInsert:
        if (member_scope) {
          transform::InsertResumeNext(module, member, type);
        } else {
          transform::InsertResumeNext(module);
        }
        break;
      case Command::kCustom:
        if (member_scope) {
          transform::InsertCustomHandler(module, member, type, handler);
        } else {
          transform::InsertCustomHandlers(module, handler);
        }
        break;
      case Command::kCount:
        break;
    }
  } catch (const host::HostError&) {
    Require(member_scope, "the component scope skips what the host refuses");
  }
}

void CheckRemoved(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  Require(after.size() <= before.size(), "Remove adds no line");
  std::vector<std::string> kept;
  for (const std::string& line : before) {
    if (!host::TrimLeadingSpaces(line).starts_with(transform::kResumeNext)) kept.push_back(line);
  }
  AddedLines(kept, after);
}

// Whether the module held a line the command adds: then which copy is the added one is
// ambiguous, and only the order of the old lines is checked.
bool HeldAny(const std::vector<std::string>& before,
             std::initializer_list<std::string_view> texts) {
  return std::any_of(before.begin(), before.end(), [&](const std::string& line) {
    return std::find(texts.begin(), texts.end(), line) != texts.end();
  });
}

void CheckInserted(host::MemoryCodeModule& module, const std::vector<std::string>& before,
                   const std::vector<std::string>& after) {
  const std::vector<std::size_t> added = AddedLines(before, after);
  if (HeldAny(before, {transform::kResumeNext})) return;
  for (std::size_t index : added) {
    Require(after[index] == transform::kResumeNext, "Insert adds only its statement");
    Require(InsideAProcedureBody(module, static_cast<int>(index) + 1),
            "Insert puts its statement inside a procedure's body");
  }
}

void CheckCustom(host::MemoryCodeModule& module, const transform::CustomHandler& handler,
                 const std::vector<std::string>& before, const std::vector<std::string>& after) {
  const std::string go_to = std::string(transform::kGoTo) + handler.label;
  const std::string label = handler.label + ":";
  const std::vector<std::size_t> added = AddedLines(before, after);
  if (HeldAny(before, {go_to, label, kBody, "Exit Sub", "Exit Function", "Exit Property"})) {
    return;
  }
  int gotos = 0;
  int labels = 0;
  for (std::size_t index : added) {
    const std::string& text = after[index];
    if (text == go_to) {
      ++gotos;
      Require(InsideAProcedureBody(module, static_cast<int>(index) + 1),
              "a GoTo goes inside a procedure's body");
    } else if (text == label) {
      ++labels;
    } else {
      Require(
          text == kBody || text == "Exit Sub" || text == "Exit Function" || text == "Exit Property",
          "the handler adds only its own lines");
    }
  }
  Require(gotos == labels, "every GoTo the handler adds has its label");
}

void CheckReadable(host::MemoryCodeModule& module) {
  const int count = module.CountOfLines();
  const std::vector<host::SourceLine> lines = module.AllLines();
  Require(static_cast<int>(lines.size()) == count, "every line is there to read");
  for (int i = 1; i <= count; ++i) {
    const host::SourceLine& line = lines[static_cast<std::size_t>(i - 1)];
    Require(line.text.find_first_of("\r\n") == std::string::npos, "a line holds no break");
    Require(line.eol != host::Eol::kNone || i == count, "only the last line lacks a break");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeaderSize) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + kHeaderSize,
                              size - kHeaderSize);
  host::MemoryProject project("Fuzz");
  host::MemoryComponent& component = project.AddComponent("Fuzz", host::ComponentType::kStdModule);
  host::MemoryCodeModule& module = component.SetCode(host::SplitSourceText(text));
  const std::vector<std::string> before = Texts(module);

  const auto command = static_cast<Command>(data[0] % static_cast<int>(Command::kCount));
  const bool member_scope = (data[0] & 0x80) != 0;
  const transform::CustomHandler handler{(data[0] & 0x40) != 0 ? "" : "Handler",
                                         std::string(kBody)};
  std::string member;
  host::MemberType type = host::MemberType::kMethod;
  if (member_scope) {
    host::Members& members = module.Members();
    if (members.Count() == 0) return 0;
    host::Member& chosen = members.Item(1 + data[1] % members.Count());
    member = chosen.Name();
    type = chosen.Type();
  }

  Execute(command, member_scope, member, type, handler, module);

  const std::vector<std::string> after = Texts(module);
  switch (command) {
    case Command::kRemove:
      CheckRemoved(before, after);
      break;
    case Command::kInsert:
      CheckInserted(module, before, after);
      break;
    case Command::kCustom:
      CheckCustom(module, handler, before, after);
      break;
    case Command::kCount:
      break;
  }
  CheckReadable(module);
  return 0;
}

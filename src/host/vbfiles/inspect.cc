#include "host/vbfiles/inspect.h"

#include <algorithm>
#include <array>
#include <optional>

#include "host/text/quote.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

std::string_view MemberTypeName(MemberType type) {
  switch (type) {
    case MemberType::kMethod:
      return "method";
    case MemberType::kProperty:
      return "property";
    case MemberType::kVariable:
      return "variable";
    case MemberType::kEvent:
      return "event";
    case MemberType::kConstant:
      return "constant";
  }
  return "?";
}

// "Get 10-15, Let 16-20": every procedure kind the member has, with its range.
std::string ProcedureRanges(CodeModule& module, const std::string& name) {
  static constexpr std::array<std::pair<ProcKind, std::string_view>, 4> kKinds = {
      {{ProcKind::kProc, "Proc"},
       {ProcKind::kGet, "Get"},
       {ProcKind::kLet, "Let"},
       {ProcKind::kSet, "Set"}}};
  std::string ranges;
  for (const auto& [kind, label] : kKinds) {
    try {
      const int start = module.ProcStartLine(name, kind);
      const int count = module.ProcCountLines(name, kind);
      if (!ranges.empty()) ranges += ", ";
      ranges += std::string(label) + " " + std::to_string(start) + "-" +
                std::to_string(start + count - 1);
    } catch (const HostError&) {
      // the member has no procedure of this kind
    }
  }
  return ranges;
}

void DescribeMembers(CodeModule& module, std::string& out) {
  Members& members = module.Members();
  if (members.Count() == 0) return;
  out += "    members:\n";
  for (Member& member : members) {
    const std::string name = member.Name();
    out += "      " + name + " (" + std::string(MemberTypeName(member.Type())) + "): ";
    // Declared external procedures have a declaration but no range.
    std::string ranges;
    if (member.Type() == MemberType::kMethod || member.Type() == MemberType::kProperty) {
      ranges = ProcedureRanges(module, name);
    }
    out += ranges.empty() ? "line " + std::to_string(member.CodeLocation()) : ranges;
    out += "\n";
  }
}

void DescribeControls(const Block& block, int depth, std::string& out) {
  for (const Block* child : block.Children()) {
    out.append(static_cast<std::size_t>(6 + 2 * depth), ' ');
    out += child->Name();
    if (const std::optional<int> index = child->Index()) out += "(" + std::to_string(*index) + ")";
    out += " [" + child->ClassName() + "]\n";
    DescribeControls(*child, depth + 1, out);
  }
}

void DescribeEntry(const VbProject& project, const VbProject::Entry& entry, std::string& out) {
  MemoryComponent& component = *entry.component;
  out += "  " + QuoteInput(component.Name()) + " [" +
         std::string(ComponentTypeName(component.Type())) + "] " +
         project.DisplayName(entry.listed.path);
  if (entry.path.empty()) out += " (missing)";
  MemoryCodeModule* module = component.Code();
  if (module != nullptr) out += ", " + std::to_string(module->CountOfLines()) + " lines";
  out += "\n";
  if (module != nullptr) DescribeMembers(*module, out);
  if (entry.image != nullptr && entry.image->designer != nullptr) {
    const Block& root = entry.image->designer->Root();
    out += "    designer: " + root.Name() + " [" + root.ClassName() + "]\n";
    DescribeControls(root, 0, out);
  }
}

}  // namespace

std::string DescribeProject(VbProject& project) {
  MemoryProject& memory = project.Project();
  std::string out = "Project " + memory.Name() + " (" + memory.FileName() + ")\n";
  out += "Components: " + std::to_string(project.Entries().size()) + "\n";
  for (const VbProject::Entry& entry : project.Entries()) DescribeEntry(project, entry, out);
  References& references = memory.References();
  out += "References: " + std::to_string(references.Count()) + "\n";
  for (Reference& reference : references) {
    out += "  " + reference.Name() + " [" + reference.Description() + " " +
           std::to_string(reference.Major()) + "." + std::to_string(reference.Minor()) + "] " +
           reference.FullPath() + "\n";
  }
  return out;
}

RoundTrip CheckRoundTrip(VbProject& project) {
  RoundTrip result{true, ""};
  int files = 0;
  project.ForEachRendered([&](const std::filesystem::path& path, const std::string& rendered) {
    if (!result.identical) return;
    ++files;
    const std::string disk = ReadFileBytes(path);
    const auto mismatch = std::mismatch(rendered.begin(), rendered.end(), disk.begin(), disk.end());
    if (mismatch.first == rendered.end() && mismatch.second == disk.end()) return;
    const std::size_t offset = static_cast<std::size_t>(mismatch.first - rendered.begin());
    const long line =
        1 + std::count(disk.begin(), disk.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    result.identical = false;
    result.report = path.string() + ":" + std::to_string(line) +
                    ": a save would change the file from byte " + std::to_string(offset) + " on (" +
                    std::to_string(rendered.size()) + " bytes instead of " +
                    std::to_string(disk.size()) + ")";
  });
  if (result.identical) {
    result.report =
        project.Path().string() + ": " + std::to_string(files) + " files round-trip byte for byte";
  }
  return result;
}

}  // namespace marquill::host::vbfiles

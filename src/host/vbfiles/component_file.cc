#include "host/vbfiles/component_file.h"

#include <algorithm>

#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

constexpr std::string_view kAttribute = "Attribute ";

bool IsObjectLine(std::string_view trimmed) {
  if (!trimmed.starts_with("Object")) return false;
  return TrimBlanks(trimmed.substr(6)).starts_with('=');
}

bool IsDesignerBegin(std::string_view trimmed) {
  return trimmed.starts_with("Begin ") || trimmed.starts_with("Begin\t");
}

// A line the loader takes for part of the header or the designer when it comes before the first
// attribute: VERSION, Object = ..., a BEGIN block, a designer's Begin, and a stray End.
bool ReadsAsHeaderLine(std::string_view trimmed) {
  return StartsWithNoCase(trimmed, "VERSION ") || IsObjectLine(trimmed) || trimmed == "BEGIN" ||
         trimmed == "End" || IsDesignerBegin(trimmed);
}

std::string UnquoteValue(std::string_view value) {
  value = TrimSpaces(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return UnquoteAttributeText(value);
  return std::string(value);
}

// Whether the member is first declared outside procedures (an Event, a variable) although the
// code also holds a procedure of its name.
bool FirstDeclaredOutsideProcedures(MemoryCodeModule& module, const std::string& member) {
  int first = 0;
  try {
    first = module.Members().Item(member).CodeLocation();
  } catch (const HostError&) {
    return false;
  }
  for (ProcKind kind : {ProcKind::kProc, ProcKind::kGet, ProcKind::kLet, ProcKind::kSet}) {
    try {
      if (module.ProcBodyLine(member, kind) == first) return false;
    } catch (const HostError&) {
      // no procedure of this kind and name
    }
  }
  return true;
}

// The declaration each member attribute stands under: a property's attributes may follow any of
// its accessors, and an Event's name may also be a procedure's; each line is written back under
// the declaration it was read under.
void AnchorMemberAttributes(MemoryCodeModule& module, const std::vector<int>& after_line) {
  std::vector<AttributeLine>& attributes = module.Attributes().lines();
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    AttributeLine& attribute = attributes[i];
    for (ProcKind kind : {ProcKind::kGet, ProcKind::kLet, ProcKind::kSet, ProcKind::kProc}) {
      try {
        if (module.DeclarationEnd(module.ProcBodyLine(attribute.member, kind)) != after_line[i])
          continue;
      } catch (const HostError&) {
        continue;  // no procedure of this kind and name
      }
      attribute.anchor = kind;
      attribute.under_procedure = FirstDeclaredOutsideProcedures(module, attribute.member);
      break;
    }
  }
}

// An attribute of a member the code does not declare has no declaration to stand under. It
// stays with the component's own attributes, so a rewrite neither drops it nor leaves a code line
// at the top of the file where the next load would take it for a header line.
void KeepStrayAttributes(MemoryCodeModule& module, AttributeSet& component_attributes) {
  std::vector<AttributeLine>& attributes = module.Attributes().lines();
  std::vector<AttributeLine> anchored;
  for (AttributeLine& attribute : attributes) {
    bool declared = true;
    try {
      module.Members().Item(attribute.member);
    } catch (const HostError&) {
      declared = false;
    }
    (declared ? anchored : component_attributes.lines()).push_back(std::move(attribute));
  }
  attributes = std::move(anchored);
}

}  // namespace

std::optional<AttributeLine> ParseAttributeLine(const SourceLine& line) {
  std::string_view text = line.text;
  if (!text.starts_with(kAttribute)) return std::nullopt;
  text.remove_prefix(kAttribute.size());
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = TrimBlanks(text.substr(0, equals));
  if (key.empty()) return std::nullopt;
  std::string_view value = text.substr(equals + 1);
  if (value.starts_with(' ')) value.remove_prefix(1);
  AttributeLine attribute;
  if (const std::size_t dot = key.find('.'); dot != std::string_view::npos) {
    if (dot == 0) return std::nullopt;  // ".Name" names no member: code, kept as written
    attribute.member = std::string(key.substr(0, dot));
    attribute.name = std::string(key.substr(dot + 1));
  } else {
    attribute.name = std::string(key);
  }
  // Without a name the line would be written back as "Attribute  = ...", which reads as code.
  if (attribute.name.empty()) return std::nullopt;
  attribute.value = std::string(value);
  attribute.eol = line.eol;
  return attribute;
}

std::string AttributeText(const AttributeLine& attribute) {
  std::string text(kAttribute);
  if (!attribute.member.empty()) {
    text += attribute.member;
    text += '.';
  }
  text += attribute.name;
  text += " = ";
  text += attribute.value;
  return text;
}

ParsedComponentFile ParseComponentFile(std::string_view bytes, const std::string& file_name) {
  TextImage image = SplitText(bytes, file_name);
  std::vector<SourceLine>& lines = image.lines;
  ParsedComponentFile parsed;
  parsed.nul_tail = image.nul_tail;
  parsed.fill = DominantEol(lines);
  std::size_t i = 0;
  while (i < lines.size()) {
    const std::string_view trimmed = TrimBlanks(lines[i].text);
    if (StartsWithNoCase(trimmed, "VERSION ") || IsObjectLine(trimmed)) {
      parsed.header.push_back(lines[i++]);
    } else if (trimmed == "BEGIN") {
      const std::size_t first = i;
      while (++i < lines.size() && TrimBlanks(lines[i].text) != "END") {
      }
      if (i == lines.size())
        throw LoadError(file_name, static_cast<int>(first + 1), "BEGIN never closes (no END)");
      parsed.header.insert(parsed.header.end(), lines.begin() + static_cast<std::ptrdiff_t>(first),
                           lines.begin() + static_cast<std::ptrdiff_t>(++i));
    } else if (trimmed == "End" && !parsed.header.empty()) {
      // Inside the header an End can only close a designer block, and none is open.
      throw LoadError(file_name, static_cast<int>(i + 1), "End without Begin");
    } else if (IsDesignerBegin(trimmed)) {
      if (parsed.designer)
        throw LoadError(file_name, static_cast<int>(i + 1), "a second designer block");
      parsed.designer_at = parsed.header.size();
      parsed.designer = DesignerTree::Parse(lines, &i, file_name);
    } else {
      break;
    }
  }
  if (!parsed.designer) parsed.designer_at = parsed.header.size();
  for (; i < lines.size(); ++i) {
    std::optional<AttributeLine> attribute = ParseAttributeLine(lines[i]);
    if (!attribute || !attribute->member.empty()) break;
    parsed.component_attributes.push_back(std::move(*attribute));
  }
  parsed.code.reserve(lines.size() - i);
  for (; i < lines.size(); ++i) {
    std::optional<AttributeLine> attribute = ParseAttributeLine(lines[i]);
    if (!attribute) {
      parsed.code.push_back(std::move(lines[i]));
    } else if (attribute->member.empty()) {
      parsed.component_attributes.push_back(std::move(*attribute));
    } else {
      parsed.member_attributes.push_back(std::move(*attribute));
      parsed.member_after_line.push_back(static_cast<int>(parsed.code.size()));
    }
  }
  for (const AttributeLine& attribute : parsed.component_attributes) {
    if (attribute.name == "VB_Name") parsed.vb_name = UnquoteValue(attribute.value);
  }
  return parsed;
}

ComponentImage Install(ParsedComponentFile parsed, std::filesystem::path path,
                       MemoryComponent& component) {
  ComponentImage image;
  image.path = std::move(path);
  image.header = std::move(parsed.header);
  image.designer_at = parsed.designer_at;
  image.nul_tail = parsed.nul_tail;
  image.fill = parsed.fill;
  for (const SourceLine& line : parsed.code) image.size_hint += line.text.size() + 2;
  image.size_hint += image.size_hint / 8 + 4096;
  component.Attributes().lines() = std::move(parsed.component_attributes);
  component.Attributes().SetNewLineEol(parsed.fill);
  MemoryCodeModule& module = component.SetCode(std::move(parsed.code), parsed.fill);
  module.Attributes().lines() = std::move(parsed.member_attributes);
  if (!module.Attributes().lines().empty()) {
    AnchorMemberAttributes(module, parsed.member_after_line);
    KeepStrayAttributes(module, component.Attributes());
  }
  if (parsed.designer) {
    image.designer = parsed.designer.get();
    component.SetDesigner(std::move(parsed.designer));
  }
  MarkSaved(image, component);
  return image;
}

std::string RenderComponent(const ComponentImage& image, MemoryComponent& component) {
  std::string out;
  out.reserve(image.size_hint);
  LineWriter writer(out, image.fill);
  for (std::size_t i = 0; i <= image.header.size(); ++i) {
    if (i == image.designer_at && image.designer != nullptr) image.designer->Render(writer);
    if (i < image.header.size()) writer.Write(image.header[i]);
  }
  for (const AttributeLine& attribute : component.Attributes().lines())
    writer.Write(AttributeText(attribute), attribute.eol);
  const MemoryCodeModule* code = component.Code();
  if (component.Attributes().lines().empty() && code != nullptr && code->CountOfLines() > 0 &&
      ReadsAsHeaderLine(TrimBlanks(code->LineAt(1).text))) {
    // Nothing would then tell the code from the header (a comment deleted from "End ' note"
    // leaves "End "): the name attribute every saved component has marks where the code starts.
    writer.Write(AttributeText({"", "VB_Name", QuoteAttributeText(component.Name())}), image.fill);
  }
  if (const MemoryCodeModule* module = code) {
    const std::vector<MemoryCodeModule::PlacedAttribute> placed = module->AttributePlacement();
    auto next = placed.begin();
    const int count = module->CountOfLines();
    for (int line = 1; line <= count; ++line) {
      writer.Write(module->LineAt(line));
      for (; next != placed.end() && next->after_line == line; ++next) {
        writer.Write(AttributeText(*next->attribute), next->attribute->eol);
      }
    }
  }
  out.append(image.nul_tail, '\0');
  return out;
}

bool HasChanged(const ComponentImage& image, MemoryComponent& component) {
  const MemoryCodeModule* module = component.Code();
  return (module != nullptr && module->Revision() != image.code_revision) ||
         component.Revision() != image.attribute_revision ||
         (image.designer != nullptr && image.designer->Revision() != image.designer_revision);
}

void MarkSaved(ComponentImage& image, MemoryComponent& component) {
  if (const MemoryCodeModule* module = component.Code()) image.code_revision = module->Revision();
  image.attribute_revision = component.Revision();
  if (image.designer != nullptr) image.designer_revision = image.designer->Revision();
}

}  // namespace marquill::host::vbfiles

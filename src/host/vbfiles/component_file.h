// Component files (.bas .cls .frm .ctl .pag .dob .dsr): what the code window does not show.
//
// A file is a header (VERSION, `Object =` lines, a class's BEGIN ... END, the designer's
// `Begin ... End` tree), the component's `Attribute` lines, then the code with member attributes
// directly under the declarations they belong to. Loading moves the code and the attributes into
// the in-memory component and keeps the rest here; rendering puts them back in the IDE's layout.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/vbfiles/designer.h"

namespace marquill::host::vbfiles {

// `Attribute Name.VB_Description = "..."` split into member, name and raw value; nullopt when the
// line is not an attribute line.
std::optional<AttributeLine> ParseAttributeLine(const SourceLine& line);
std::string AttributeText(const AttributeLine& attribute);

// A component file read into pieces.
struct ParsedComponentFile {
  std::vector<SourceLine> header;
  std::size_t designer_at = 0;  // header index the designer block stands before
  std::unique_ptr<DesignerTree> designer;
  std::vector<AttributeLine> component_attributes;
  std::vector<SourceLine> code;
  std::vector<AttributeLine> member_attributes;
  std::vector<int> member_after_line;  // the code line each member attribute followed
  std::size_t nul_tail = 0;
  Eol fill = Eol::kCrLf;  // the file's usual line ending
  std::string vb_name;    // from Attribute VB_Name, "" when missing
};

// LoadError "FILE:LINE: ..." for a binary file or a block that never closes.
ParsedComponentFile ParseComponentFile(std::string_view bytes, const std::string& file_name);

// The parts of a component file the in-memory component does not hold.
struct ComponentImage {
  std::filesystem::path path;
  std::vector<SourceLine> header;
  std::size_t designer_at = 0;
  DesignerTree* designer = nullptr;  // owned by the component
  std::size_t nul_tail = 0;
  Eol fill = Eol::kCrLf;
  std::size_t size_hint = 0;  // bytes at load, to size the rendering
  // Revisions of the component's parts when last loaded or saved.
  std::uint64_t code_revision = 0;
  std::uint64_t attribute_revision = 0;
  std::uint64_t designer_revision = 0;
};

// Moves a parsed file into `component` (code, attributes, designer) and returns what is left.
ComponentImage Install(ParsedComponentFile parsed, std::filesystem::path path,
                       MemoryComponent& component);

// The file's bytes as they stand now.
std::string RenderComponent(const ComponentImage& image, MemoryComponent& component);

bool HasChanged(const ComponentImage& image, MemoryComponent& component);
void MarkSaved(ComponentImage& image, MemoryComponent& component);

}  // namespace marquill::host::vbfiles

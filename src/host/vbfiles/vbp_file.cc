#include "host/vbfiles/vbp_file.h"

#include <array>
#include <charconv>
#include <utility>

#include "host/memory/memory_host.h"
#include "host/text/quote.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

struct KeyKind {
  std::string_view key;
  ListedKind kind;
  bool named;  // "Name; path"
};

constexpr std::array<KeyKind, 9> kListedKeys = {{
    {"Form", ListedKind::kForm, false},
    {"Module", ListedKind::kModule, true},
    {"Class", ListedKind::kClass, true},
    {"UserControl", ListedKind::kUserControl, false},
    {"PropertyPage", ListedKind::kPropertyPage, false},
    {"UserDocument", ListedKind::kUserDocument, false},
    {"Designer", ListedKind::kDesigner, false},
    {"RelatedDoc", ListedKind::kRelatedDoc, false},
    {"ResFile32", ListedKind::kResFile, false},
}};

// The type libraries a project commonly references: their names live inside the library, which
// is not at hand on this side, so the usual ones are known here and the rest are named after
// their file.
struct KnownLibrary {
  std::string_view libid;
  std::string_view name;
};
constexpr std::array<KnownLibrary, 8> kKnownLibraries = {{
    {"{00020430-0000-0000-C000-000000000046}", "stdole"},
    {"{000204EF-0000-0000-C000-000000000046}", "VBA"},
    {"{420B2830-E718-11CF-893D-00A0C9054228}", "Scripting"},
    {"{00025E01-0000-0000-C000-000000000046}", "DAO"},
    {"{0002E157-0000-0000-C000-000000000046}", "VBIDE"},
    {"{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}", "Office"},
    {"{F5078F18-C551-11D3-89B9-0000F81FE221}", "MSXML2"},
    {"{EF404E00-EDA6-101A-8DAF-00DD010F7EBB}", "VBIDE"},
}};

std::string_view Unquote(std::string_view text) {
  text = TrimSpaces(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return text;
}

std::string FileStem(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

int ParseHex(std::string_view digits, std::string_view what) {
  int value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    throw HostError("the " + std::string(what) + " version \"" + QuoteInput(digits) +
                    "\" is not a hexadecimal number");
  }
  return value;
}

std::vector<std::string_view> SplitHash(std::string_view text, std::size_t max_parts) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < max_parts) {
    const std::size_t hash = text.find('#');
    if (hash == std::string_view::npos) break;
    parts.push_back(text.substr(0, hash));
    text.remove_prefix(hash + 1);
  }
  parts.push_back(text);
  return parts;
}

ListedFile ParseListed(const KeyKind& key, std::string_view value, int line,
                       const std::string& file) {
  ListedFile listed{key.kind, "", "", line};
  if (key.named) {
    const std::size_t semicolon = value.find(';');
    if (semicolon == std::string_view::npos) {
      throw LoadError(file, line, std::string(key.key) + "= needs \"Name; file\"");
    }
    listed.name = std::string(TrimSpaces(value.substr(0, semicolon)));
    value.remove_prefix(semicolon + 1);
  }
  listed.path = std::string(Unquote(value));
  if (listed.path.empty()) throw LoadError(file, line, std::string(key.key) + "= names no file");
  return listed;
}

}  // namespace

bool HoldsCode(ListedKind kind) {
  return kind != ListedKind::kRelatedDoc && kind != ListedKind::kResFile;
}

MemoryReference ParseReference(std::string_view value) {
  MemoryReference reference;
  if (value.starts_with("*\\A")) {
    reference.full_path = std::string(value.substr(3));
    reference.name = FileStem(reference.full_path);
    return reference;
  }
  if (!value.starts_with("*\\G")) throw HostError("expected *\\G{LIBID}#... or *\\A<project>");
  const std::vector<std::string_view> parts = SplitHash(value.substr(3), 5);
  if (parts.size() < 4) throw HostError("expected *\\G{LIBID}#version#lcid#path#description");
  const std::string_view version = parts[1];
  const std::size_t dot = version.find('.');
  if (dot == std::string_view::npos)
    throw HostError("the version \"" + QuoteInput(version) + "\" has no '.'");
  reference.major = ParseHex(version.substr(0, dot), "major");
  reference.minor = ParseHex(version.substr(dot + 1), "minor");
  reference.full_path = std::string(parts[3]);
  if (parts.size() > 4) reference.description = std::string(parts[4]);
  reference.name = FileStem(reference.full_path);
  for (const KnownLibrary& known : kKnownLibraries) {
    if (EqualsNoCase(known.libid, parts[0])) reference.name = std::string(known.name);
  }
  return reference;
}

VbpFile VbpFile::Parse(std::string_view bytes, const std::string& file_name) {
  VbpFile vbp;
  TextImage image = SplitText(bytes, file_name);
  vbp.lines = std::move(image.lines);
  vbp.nul_tail = image.nul_tail;
  bool main_section = true;
  for (std::size_t i = 0; i < vbp.lines.size(); ++i) {
    const int line = static_cast<int>(i + 1);
    const std::string_view text = vbp.lines[i].text;
    const std::string_view trimmed = TrimSpaces(text);
    // A line of NULs is padding an editor left before more lines were added.
    if (trimmed.find_first_not_of('\0') == std::string_view::npos) continue;
    if (trimmed.front() == '[') {
      main_section = false;  // a foreign section: kept, never read
      continue;
    }
    if (!main_section) continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
      throw LoadError(file_name, line, "expected KEY=VALUE, found \"" + QuoteInput(trimmed) + "\"");
    }
    const std::string_view key = TrimSpaces(text.substr(0, equals));
    const std::string_view value = text.substr(equals + 1);
    if (key == "Reference") {
      try {
        vbp.references.push_back({ParseReference(value), line});
      } catch (const HostError& error) {
        throw LoadError(file_name, line,
                        std::string("cannot read the Reference line: ") + error.what());
      }
    } else if (key == "Name") {
      vbp.project_name = std::string(Unquote(value));
    } else {
      for (const KeyKind& listed : kListedKeys) {
        if (key == listed.key) vbp.files.push_back(ParseListed(listed, value, line, file_name));
      }
    }
  }
  return vbp;
}

std::string VbpFile::Render() const {
  std::string out;
  LineWriter writer(out, DominantEol(lines));
  for (const SourceLine& line : lines) writer.Write(line);
  out.append(nul_tail, '\0');
  return out;
}

}  // namespace marquill::host::vbfiles

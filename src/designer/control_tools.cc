#include "designer/control_tools.h"

#include <algorithm>
#include <array>

#include "host/text/vb_text.h"

namespace marquill::designer {
namespace {

constexpr std::size_t kMaxNameLength = 40;
constexpr std::string_view kEventStart = "Private Sub ";

// Words the language reserves: a control named like one could not be used in code.
constexpr std::array<std::string_view, 58> kReservedWords = {
    "And",     "As",       "Boolean", "ByRef",   "Byte",    "ByVal",  "Call",   "Case",
    "Const",   "Currency", "Date",    "Declare", "Dim",     "Do",     "Double", "Each",
    "Else",    "ElseIf",   "End",     "Enum",    "Erase",   "Event",  "Exit",   "False",
    "For",     "Function", "Get",     "Global",  "GoSub",   "GoTo",   "If",     "Implements",
    "In",      "Integer",  "Is",      "Let",     "Like",    "Long",   "Loop",   "Me",
    "Mod",     "New",      "Next",    "Not",     "Nothing", "On",     "Option", "Or",
    "Private", "Property", "Public",  "ReDim",   "Rem",     "Resume", "Select", "Set",
    "Sub",     "Then"};
constexpr std::array<std::string_view, 12> kMoreReservedWords = {
    "To",   "True", "Type",   "Until",  "Wend",    "While",
    "With", "Xor",  "Single", "String", "Variant", "Static"};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHighByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }
bool IsIdentifierChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_' || IsHighByte(c); }

bool IsReservedWord(std::string_view word) {
  const auto same = [word](std::string_view reserved) {
    return host::EqualsNoCase(word, reserved);
  };
  return std::any_of(kReservedWords.begin(), kReservedWords.end(), same) ||
         std::any_of(kMoreReservedWords.begin(), kMoreReservedWords.end(), same);
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// The code of a line without its comment (outside string literals), trailing blanks trimmed.
std::string_view CodePart(std::string_view line) {
  bool in_string = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') in_string = !in_string;
    if (line[i] == '\'' && !in_string) {
      line = line.substr(0, i);
      break;
    }
  }
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

std::string NameOf(host::Control& control) {
  return std::get<std::string>(control.Properties().Item("Name").Value());
}

// The controls of the designer named `name`, nested ones included.
std::vector<host::Control*> ControlsNamed(host::FormDesigner& designer, std::string_view name) {
  std::vector<host::Control*> found;
  for (host::Control& control : designer.AllControls()) {
    if (host::EqualsNoCase(NameOf(control), name)) found.push_back(&control);
  }
  return found;
}

void RequireControl(host::Component& component, host::FormDesigner& designer,
                    std::string_view name) {
  if (ControlsNamed(designer, name).empty())
    throw ControlError(component.Name() + " has no control named " + std::string(name));
}

// The names of the event procedures of `control` the module declares, sorted, each once.
std::vector<std::string> EventProcedures(const host::CodeModule& code, std::string_view control) {
  std::vector<std::string> names;
  const int count = code.CountOfLines();
  for (int i = 1; i <= count; ++i) {
    const std::string line = code.Line(i);
    if (!StartsEventProcedure(line, control)) continue;
    const std::string_view rest = TrimLeadingBlanks(line).substr(kEventStart.size());
    std::size_t end = 0;
    while (end < rest.size() && IsIdentifierChar(rest[end])) ++end;
    names.emplace_back(rest.substr(0, end));
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace

std::vector<std::string> ControlNames(host::FormDesigner& designer) {
  std::vector<std::string> names;
  for (host::Control& control : designer.AllControls()) names.push_back(NameOf(control));
  return names;
}

bool StartsEventProcedure(std::string_view line, std::string_view control) {
  const std::string_view code = TrimLeadingBlanks(line);
  return code.starts_with(kEventStart) && code.substr(kEventStart.size()).starts_with(control) &&
         code.size() > kEventStart.size() + control.size() &&
         code[kEventStart.size() + control.size()] == '_';
}

bool EndsSub(std::string_view line) {
  std::string_view code = CodePart(line);
  if (!code.ends_with("End Sub")) return false;
  code.remove_suffix(7);
  while (!code.empty() && (code.back() == ' ' || code.back() == '\t')) code.remove_suffix(1);
  return code.empty() || code.back() == ':';
}

int DeleteEventProcedures(host::CodeModule& code, std::string_view control) {
  int removed = 0;
  int i = 1;
  while (i <= code.CountOfLines()) {
    if (!StartsEventProcedure(code.Line(i), control)) {
      ++i;
      continue;
    }
    int end = i;
    const int count = code.CountOfLines();
    while (end <= count && !EndsSub(code.Line(end))) ++end;
    if (end > count) {
      ++i;  // no End Sub below: deleting to the end of the module would lose code
      continue;
    }
    code.DeleteLines(i, end - i + 1);
    ++removed;
  }
  return removed;
}

std::string RenameInLine(std::string_view line, std::string_view old_name,
                         std::string_view new_name, const std::vector<std::string>& procedures) {
  std::string out;
  out.reserve(line.size() + 16);
  bool in_string = false;
  bool in_comment = false;
  bool statement_start = true;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (in_string || (!in_comment && c == '"')) {
      if (c == '"') in_string = !in_string;
      out += c;
      ++i;
      continue;
    }
    if (IsLetter(c) || IsHighByte(c) || IsDigit(c) || c == '_' ||
        (c == '&' && i + 1 < line.size() &&
         (line[i + 1] == 'H' || line[i + 1] == 'h' || line[i + 1] == 'O' || line[i + 1] == 'o'))) {
      std::size_t end = i + 1;
      while (end < line.size() && IsIdentifierChar(line[end])) ++end;
      const std::string_view word = line.substr(i, end - i);
      const bool identifier = IsLetter(c) || IsHighByte(c);
      const bool rem = identifier && host::EqualsNoCase(word, "Rem") &&
                       (end == line.size() || line[end] == ' ' || line[end] == '\t');
      if (rem && !in_comment && statement_start) {
        in_comment = true;
        out += word;
      } else if (identifier && word == old_name) {
        out += new_name;
      } else if (identifier && word.size() > old_name.size() && word.starts_with(old_name) &&
                 word[old_name.size()] == '_' &&
                 std::binary_search(procedures.begin(), procedures.end(), word)) {
        out += new_name;
        out += word.substr(old_name.size());
      } else {
        out += word;
      }
      statement_start = false;
      i = end;
      continue;
    }
    if (c == '\'' && !in_comment) in_comment = true;
    if (c == ':') {
      statement_start = true;
    } else if (c != ' ' && c != '\t') {
      statement_start = false;
    }
    out += c;
    ++i;
  }
  return out;
}

int RenameInCode(host::CodeModule& code, std::string_view old_name, std::string_view new_name) {
  const std::vector<std::string> procedures = EventProcedures(code, old_name);
  int changed = 0;
  const int count = code.CountOfLines();
  for (int i = 1; i <= count; ++i) {
    const std::string line = code.Line(i);
    if (line.find(old_name) == std::string::npos) continue;
    std::string renamed = RenameInLine(line, old_name, new_name, procedures);
    if (renamed == line) continue;
    code.ReplaceLine(i, renamed);
    ++changed;
  }
  return changed;
}

std::string CheckNewControlName(host::FormDesigner& designer, std::string_view form_name,
                                std::string_view old_name, std::string_view new_name) {
  const std::string quoted = "\"" + std::string(new_name) + "\"";
  if (new_name.empty()) return "the new name is empty";
  if (new_name.size() > kMaxNameLength) {
    return quoted + " is too long: a control name has at most " + std::to_string(kMaxNameLength) +
           " characters";
  }
  const bool identifier = (IsLetter(new_name.front()) || IsHighByte(new_name.front())) &&
                          std::all_of(new_name.begin(), new_name.end(), IsIdentifierChar);
  if (!identifier) {
    return quoted +
           " is not a valid name: it must start with a letter and hold only letters, digits "
           "and underscores";
  }
  if (IsReservedWord(new_name)) return quoted + " is a reserved word of the language";
  if (host::EqualsNoCase(new_name, form_name)) return quoted + " is the name of the form itself";
  if (!host::EqualsNoCase(new_name, old_name) && !ControlsNamed(designer, new_name).empty())
    return "a control named " + std::string(new_name) + " already exists on " +
           std::string(form_name);
  return "";
}

void DeleteControl(host::Component& component, std::string_view name) {
  host::FormDesigner* designer = component.Designer();
  if (designer != nullptr) RequireControl(component, *designer, name);
  if (host::CodeModule* code = component.CodeModule()) DeleteEventProcedures(*code, name);
  if (designer == nullptr) return;
  // Removing a container takes what it holds along, so look the name up afresh each time.
  for (std::vector<host::Control*> left = ControlsNamed(*designer, name); !left.empty();
       left = ControlsNamed(*designer, name)) {
    designer->AllControls().Remove(*left.front());
  }
}

void RenameControl(host::Component& component, std::string_view old_name,
                   std::string_view new_name) {
  host::FormDesigner* designer = component.Designer();
  if (designer != nullptr) {
    RequireControl(component, *designer, old_name);
    const std::string refused =
        CheckNewControlName(*designer, component.Name(), old_name, new_name);
    if (!refused.empty()) throw ControlError(refused);
  }
  if (new_name == old_name) return;
  if (host::CodeModule* code = component.CodeModule()) RenameInCode(*code, old_name, new_name);
  if (designer == nullptr) return;
  for (host::Control* control : ControlsNamed(*designer, old_name))
    control->Properties().Item("Name").SetValue(std::string(new_name));
}

}  // namespace marquill::designer

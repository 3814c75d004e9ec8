// Reading a module's structure from its lines: procedures, their ranges, and the members the
// code declares.
//
// The module is cut into consecutive segments: the declarations section first, then one
// segment per procedure. A procedure's segment is its range as the IDE reports it: from the line
// after the previous procedure's End line (for the first procedure, after the last statement of
// the declarations section) to its own End line; the last procedure also owns every line after
// its End line. So the blank and comment lines above a declaration belong to that procedure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"
#include "host/memory/line_store.h"
#include "host/text/vb_text.h"

namespace marquill::host::scan {

// A line whose last two characters are " _" goes on below.
inline bool Continues(std::string_view line) { return line.ends_with(kContinuation); }

// ASCII case folding: the language's names and keywords ignore case, code bytes are not decoded.

// What one logical line (continuations joined) means for the module's procedure structure.
struct LineShape {
  enum class Kind { kBlank, kProcDecl, kCode };
  Kind kind = Kind::kBlank;  // kBlank: nothing but blanks and a comment
  // kProcDecl: the procedure declared.
  std::string name;
  ProcKind proc_kind = ProcKind::kProc;
  // An End Sub, End Function or End Property statement stands in the line; with kProcDecl it
  // makes a one-line procedure.
  bool closes_procedure = false;
};
LineShape ShapeOf(std::string_view logical_line);

// Blocks of the declarations section whose lines declare no members.
enum class Block { kNone, kEnum, kType };

// The members one logical line of the declarations section declares, in order. `block` carries
// the Enum or Type block the line stands in from one line to the next.
struct DeclaredName {
  std::string name;
  MemberType type = MemberType::kVariable;
};
void DeclaredNames(std::string_view logical_line, Block& block, std::vector<DeclaredName>& out);

struct ProcSegment {
  std::string key;  // LowerAscii(name)
  ProcKind kind = ProcKind::kProc;
  // Offsets from the segment's first line: declaration, its last continued line, End line.
  int decl = 0;
  int decl_end = 0;
  int end = 0;
  int length = 0;
  // Closed by its End line, rather than by the next declaration or the module's end.
  bool terminated = false;
};

struct ScannedMember {
  std::string name;  // as first declared
  std::string key;
  MemberType type = MemberType::kMethod;
  ProcKind anchor = ProcKind::kProc;  // a property's first accessor
  int line = 0;                       // declaration line, for members outside procedures
  int segment = -1;                   // index into ModuleLayout::procs, for procedures
};

struct ModuleLayout {
  int declarations_length = 0;
  std::vector<ProcSegment> procs;
  std::vector<ScannedMember> members;  // in order of first appearance
};

ModuleLayout ScanModule(const LineStore& lines);

}  // namespace marquill::host::scan

// The in-memory host: the reference implementation of the host code model.
//
// Tests build projects with it directly; the VB6 project files layer (host/vbfiles) loads files
// into the same objects and writes them back. So this model keeps what a faithful rewrite needs:
// each line's own line ending, and the `Attribute` lines the code window never shows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"

namespace marquill::host {

// How a line ended in its file. kNone only for a last line without a final break.
enum class Eol : std::uint8_t { kCrLf, kLf, kCr, kNone };
std::string_view EolText(Eol eol);

struct SourceLine {
  std::string text;
  Eol eol = Eol::kCrLf;
  friend bool operator==(const SourceLine&, const SourceLine&) = default;
};

// One `Attribute` line of a module. Component attributes (`Attribute VB_Name = "Form1"`) have an
// empty member; member attributes (`Attribute Total.VB_Description = "..."`) name their member
// and stand directly under the declaration of the accessor `anchor` (kProc for all but
// properties). `value` is the raw text after " = ", quotes and all.
struct AttributeLine {
  std::string member;
  std::string name;
  std::string value;
  ProcKind anchor = ProcKind::kProc;
  Eol eol = Eol::kCrLf;
  // The line stands under the `anchor` procedure although the member is first declared outside
  // procedures: a class may declare an Event and a procedure of the same name.
  bool under_procedure = false;
  friend bool operator==(const AttributeLine&, const AttributeLine&) = default;
};

// Quoting of attribute string values as the IDE writes them: "a ""b""" <-> a "b".
std::string QuoteAttributeText(std::string_view text);
std::string UnquoteAttributeText(std::string_view value);

// Descriptions and help context IDs live in attribute lines, for components and members alike.
// Member and attribute names compare without regard to case, as the language's names do.
//
// Attributes outlive the code they describe: deleting a procedure's lines leaves its attribute
// lines here (undoing the deletion by hand brings them back); writers leave out the attributes
// of members the code no longer declares (MemoryCodeModule::AttributePlacement).
class AttributeSet {
 public:
  // Direct access for loaders and writers; changes made through it are not counted by Revision().
  std::vector<AttributeLine>& lines() { return lines_; }
  const std::vector<AttributeLine>& lines() const { return lines_; }

  // The attribute `name` of `member` ("" for the component), if present.
  const AttributeLine* Find(std::string_view member, std::string_view name) const;
  // Sets the raw value, adding the line where the IDE would (Description, ProcData, UserMemId,
  // MemberFlags order among a member's lines) when it is missing. Setting the value already
  // there changes nothing.
  void Set(std::string_view member, std::string_view name, std::string value, ProcKind anchor);
  // Removes one attribute line, if present.
  void Remove(std::string_view member, std::string_view name);
  // Drops every attribute of `member` (a deleted procedure takes its attributes with it).
  void RemoveMember(std::string_view member);

  // A quoted text attribute, unquoted; "" when missing. Setting "" removes the line, as the IDE
  // keeps no empty description. HostError for a text with a line break, which no attribute
  // line can hold.
  std::string Text(std::string_view member, std::string_view name) const;
  void SetText(std::string_view member, std::string_view name, std::string_view text,
               ProcKind anchor);
  // A decimal number attribute; 0 when missing. Setting 0 removes the line.
  std::int32_t Number(std::string_view member, std::string_view name) const;
  void SetNumber(std::string_view member, std::string_view name, std::int32_t value,
                 ProcKind anchor);

  // VB_Description and VB_HelpID.
  std::string Description(std::string_view member) const;
  void SetDescription(std::string_view member, std::string_view text, ProcKind anchor);
  std::int32_t HelpContextID(std::string_view member) const;
  void SetHelpContextID(std::string_view member, std::int32_t id, ProcKind anchor);

  // Grows at every change made through the methods above.
  std::uint64_t Revision() const { return revision_; }
  // The ending of added lines while the set has none to copy it from.
  void SetNewLineEol(Eol eol) { new_line_eol_ = eol; }

 private:
  std::vector<AttributeLine> lines_;
  std::uint64_t revision_ = 0;
  Eol new_line_eol_ = Eol::kCrLf;
};

// Splits file text into lines, each with the break that ended it: CR LF, LF or a lone CR. A last
// line without a break gets Eol::kNone; a text ending in a break has no empty line after it.
std::vector<SourceLine> SplitSourceText(std::string_view text);

class MemoryComponent;

// A code module held as a gap buffer of lines, members derived lazily from the code.
//
// Text written by InsertLines and ReplaceLine is split at CR LF, at a lone LF and at a lone CR:
// a stored line never holds a break, or the module could not be written and read back the same.
// New lines end with NewLineEol(); a replaced line's first part keeps the old line's ending. Only
// the last line may lack a break (Eol::kNone), and it keeps that state through edits at the end.
//
// Members, in order of first appearance: procedures (a Sub or Function is a method; a property is
// one member whatever accessors it has, located at its first accessor) and, from the
// declarations section only, each name of a variable list (Dim, Private, Public, Global,
// WithEvents, arrays), each name of a Const list, events, and Declare statements, which are
// methods without a procedure range. Enum and Type blocks and Option, Implements or Def lines
// declare nothing; comments and string literals never do. Names match without regard to case.
//
// Procedure ranges and members are read from the code when first asked for after a change.
// Edits inside a procedure's body or in the blank and comment lines around procedures that add
// or remove no declaration or End line only move the ranges, without reading the module again;
// anything else marks the structure for a full read at the next question.
class MemoryCodeModule final : public CodeModule {
 public:
  MemoryCodeModule(MemoryComponent& parent, std::vector<SourceLine> lines,
                   Eol new_line_eol = Eol::kCrLf);
  ~MemoryCodeModule() override;

  std::string Lines(int start, int count) const override;
  int CountOfLines() const override;
  void InsertLines(int line, std::string_view text) override;
  void DeleteLines(int start, int count = 1) override;
  void ReplaceLine(int line, std::string_view text) override;
  int ProcStartLine(std::string_view name, ProcKind kind) const override;
  int ProcCountLines(std::string_view name, ProcKind kind) const override;
  int ProcBodyLine(std::string_view name, ProcKind kind) const override;
  host::Members& Members() override;
  Component& Parent() override;

  // For writers: every line with its ending, in order.
  const SourceLine& LineAt(int line) const;  // 1-based, HostError past the end
  std::vector<SourceLine> AllLines() const;
  // The ending given to lines that edits create.
  Eol NewLineEol() const;
  // Member attributes of this module (component attributes live on the component). A member's
  // description and help context ID are VB_Description and VB_HelpID, or VB_VarDescription and
  // VB_VarHelpID for a variable, as the IDE writes them.
  AttributeSet& Attributes();
  const AttributeSet& Attributes() const;
  // Grows by one at every edit of lines or attributes: writers compare it to the loaded value.
  // An edit that leaves the text as it was (a line replaced by itself) does not count.
  std::uint64_t Revision() const;

  // The last line of the declaration starting at `line`: continuation lines belong to it.
  int DeclarationEnd(int line) const;

  // For writers: each member attribute line with the code line it follows, in file order. A
  // member's lines follow the last line of the declaration of their anchor accessor (or of the
  // member's first accessor when that one is gone); lines of members the code no longer declares
  // are left out.
  struct PlacedAttribute {
    int after_line = 0;
    const AttributeLine* attribute = nullptr;
  };
  std::vector<PlacedAttribute> AttributePlacement() const;

  // Replaces every line and clears the member attributes, as a fresh module would hold them.
  // Code panes showing this module stay valid.
  void Reset(std::vector<SourceLine> lines, Eol new_line_eol);

  // How many times the structure was read from the whole module: tests and benchmarks check
  // that it is read lazily.
  std::uint64_t ScanCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Form-level data of a designer component: its design-time properties and its controls. The
// VB6 files layer supplies the implementation over the form file's `Begin ... End` tree.
class DesignerModel : public FormDesigner {
 public:
  virtual host::Properties& FormProperties() = 0;
  virtual std::uint64_t Revision() const = 0;
};

class MemoryProject;

class MemoryComponent final : public Component {
 public:
  MemoryComponent(MemoryProject& project, std::string name, ComponentType type);
  ~MemoryComponent() override;

  std::string Name() const override;
  ComponentType Type() const override;
  host::CodeModule* CodeModule() override;
  FormDesigner* Designer() override;
  host::Properties& Properties() override;
  std::string FileNames(int index) const override;
  std::string Description() const override;
  void SetDescription(std::string_view text) override;
  std::int32_t HelpContextID() const override;
  void SetHelpContextID(std::int32_t id) override;

  MemoryProject& OwnerProject();
  // Creates the code module with these lines, or resets the existing one (the same object, so
  // code panes showing it stay valid; its member attributes are cleared, so load them after). Every
  // type but resource files and related documents is created with an empty module.
  MemoryCodeModule& SetCode(std::vector<SourceLine> lines, Eol new_line_eol = Eol::kCrLf);
  // Convenience for tests: code from text, lines split at CR LF, LF or CR (SplitSourceText); new
  // lines end like the first line does.
  MemoryCodeModule& SetCodeText(std::string_view text);
  MemoryCodeModule* Code();
  void SetDesigner(std::unique_ptr<DesignerModel> designer);
  DesignerModel* DesignerModelOrNull();
  void SetFileName(std::string path);
  // Component attributes (VB_Name, VB_Description, VB_HelpID ...), in file order.
  AttributeSet& Attributes();
  const AttributeSet& Attributes() const;
  // Grows at every change of the component's own attributes.
  std::uint64_t Revision() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

struct MemoryReference {
  std::string name;
  std::string description;
  int major = 0;
  int minor = 0;
  std::string full_path;
};

class MemoryProject final : public Project {
 public:
  explicit MemoryProject(std::string name, std::string file_name = "");
  ~MemoryProject() override;

  std::string Name() const override;
  std::string FileName() const override;
  host::Components& Components() override;
  host::References& References() override;

  // HostError when a component of that name (in any case) is there already.
  MemoryComponent& AddComponent(std::string name, ComponentType type);
  // Removes the component from the collection; HostError when it is not there. The object lives
  // on with the project, so windows still showing it stay valid.
  void RemoveComponent(std::string_view name);
  MemoryComponent& ComponentNamed(std::string_view name);  // HostError when missing
  std::vector<MemoryComponent*> AllComponents();
  void AddReference(MemoryReference reference);
  void SetFileName(std::string path);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The IDE: open projects, windows (code windows, designers, the Immediate window...), the active
// code pane with its selection.
class MemoryVbe final : public Vbe {
 public:
  MemoryVbe();
  ~MemoryVbe() override;

  Project* ActiveProject() override;
  CodePane* ActiveCodePane() override;
  Window* ActiveWindow() override;
  host::Windows& Windows() override;
  std::string ImmediateText() const override;
  void SetImmediateText(std::string_view text) override;

  // The first project added becomes the active one.
  MemoryProject& AddProject(std::unique_ptr<MemoryProject> project);
  void SetActiveProject(MemoryProject* project);
  // Opens (or focuses) the code window of `module` and makes its pane the active one.
  CodePane& ShowCode(CodeModule& module, Selection selection = {1, 1, 1, 1});
  // Opens (or focuses) the designer window of a component.
  Window& ShowDesigner(Component& component);
  // Adds a tool window (type other than code or designer), such as "Immediate". It does not take
  // the focus.
  Window& AddToolWindow(std::string caption, WindowType type);
  void ClearActiveCodePane();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace marquill::host

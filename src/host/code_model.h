// The host code model: what the add-in sees of the IDE and its projects.
//
// The interfaces mirror the IDE's extensibility objects one for one, so the add-in code reads the
// same whether it runs against the in-memory host (tests), VB6 project files on disk (the command
// line) or the studio. Every operation may fail; failures throw HostError. Lines are 1-based and
// read without their line break; text written with CR LF becomes several lines.
#pragma once

#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace marquill::host {

// A refusal of the host: a missing object, a line past the end, a procedure the module lacks.
class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Component types, numbered as the IDE numbers them.
enum class ComponentType : int {
  kStdModule = 1,
  kClassModule = 2,
  kMSForm = 3,
  kResFile = 4,
  kVBForm = 5,
  kMDIForm = 6,
  kPropPage = 7,
  kUserControl = 8,
  kDocObject = 9,
  kRelatedDocument = 10,
  kActiveXDesigner = 11,
};

// "StdModule", "ClassModule", ... for types 1 to 11; "" for anything else.
std::string_view ComponentTypeName(ComponentType type);

// Member types, numbered as the IDE numbers them.
enum class MemberType : int {
  kMethod = 1,
  kProperty = 2,
  kVariable = 3,
  kEvent = 4,
  kConstant = 5,
};

// Procedure kinds of the procedure-range queries. Properties are visited Get, Let, Set.
enum class ProcKind : int {
  kProc = 0,  // Sub or Function
  kLet = 1,
  kSet = 2,
  kGet = 3,
};

// Window types the add-in cares about; tool windows carry other values.
enum class WindowType : int {
  kCodeWindow = 0,
  kDesigner = 1,
  kImmediate = 5,
  kProjectWindow = 6,
  kPropertyWindow = 4,
  kToolbox = 9,
};

// A 32-bit OLE colour, as a form stores BackColor (&H8000000F& is a system colour).
struct Color {
  std::uint32_t value = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

// A picture assigned to a property (a form's Icon). Holds the image file's bytes; empty means
// "no picture", which clears the property.
struct Picture {
  std::string bytes;
  friend bool operator==(const Picture&, const Picture&) = default;
};

// The value of a design-time property. Integers cover the IDE's Integer and Long; enumerated
// properties (ScaleMode, BorderStyle...) are integers too.
using PropertyValue =
    std::variant<std::monostate, bool, std::int32_t, double, std::string, Color, Picture>;

// A 1-based collection with look-up by index and by name, and range-for over its items.
template <class T>
class Collection {
 public:
  virtual ~Collection() = default;
  virtual int Count() const = 0;
  virtual T& Item(int index) = 0;               // 1-based; HostError when out of range
  virtual T& Item(std::string_view name) = 0;   // HostError when there is none

  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = T*;
    using reference = T&;
    iterator() = default;
    iterator(Collection* owner, int index) : owner_(owner), index_(index) {}
    T& operator*() const { return owner_->Item(index_); }
    T* operator->() const { return &owner_->Item(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++index_;
      return old;
    }
    friend bool operator==(const iterator& a, const iterator& b) { return a.index_ == b.index_; }

   private:
    Collection* owner_ = nullptr;
    int index_ = 1;
  };
  // Counts once at begin(): removing items while iterating is not supported.
  iterator begin() { return iterator(this, 1); }
  iterator end() { return iterator(this, Count() + 1); }
};

class CodeModule;
class Component;

class Member {
 public:
  virtual ~Member() = default;
  virtual std::string Name() const = 0;
  virtual MemberType Type() const = 0;
  // The declaration line (for a property, its first accessor's).
  virtual int CodeLocation() const = 0;
  virtual std::string Description() const = 0;
  virtual void SetDescription(std::string_view text) = 0;
  virtual std::int32_t HelpContextID() const = 0;
  virtual void SetHelpContextID(std::int32_t id) = 0;
};

using Members = Collection<Member>;

class CodeModule {
 public:
  virtual ~CodeModule() = default;
  // `count` lines from `start`, joined with CR LF; count 0 gives "".
  virtual std::string Lines(int start, int count) const = 0;
  virtual int CountOfLines() const = 0;
  // Inserts before `line` (CountOfLines() + 1 appends); CR LF in `text` makes several lines.
  virtual void InsertLines(int line, std::string_view text) = 0;
  virtual void DeleteLines(int start, int count = 1) = 0;
  // Replaces one line; CR LF in `text` makes several lines.
  virtual void ReplaceLine(int line, std::string_view text) = 0;
  // The range of a procedure: from the first line after the previous procedure (blank and
  // comment lines above the declaration included) to its End line. HostError when the module has
  // no such (name, kind).
  virtual int ProcStartLine(std::string_view name, ProcKind kind) const = 0;
  virtual int ProcCountLines(std::string_view name, ProcKind kind) const = 0;
  // The line a procedure's declaration starts on.
  virtual int ProcBodyLine(std::string_view name, ProcKind kind) const = 0;
  virtual host::Members& Members() = 0;
  virtual Component& Parent() = 0;

  // One line, without its break.
  std::string Line(int line) const { return Lines(line, 1); }
};

class Property {
 public:
  virtual ~Property() = default;
  virtual std::string Name() const = 0;
  virtual PropertyValue Value() const = 0;
  virtual void SetValue(const PropertyValue& value) = 0;
  // Assigns an object (a picture) rather than a value, as `Set p.Object = pic` does.
  virtual void SetObject(const Picture& picture) = 0;
};

using Properties = Collection<Property>;

class Control;
using Controls = Collection<Control>;

class Control {
 public:
  virtual ~Control() = default;
  // "VB.TextBox", "VB.Frame", "MSComctlLib.ListView", "Project1.MyControl" ...
  virtual std::string ClassName() const = 0;
  virtual host::Properties& Properties() = 0;
  virtual Controls& ContainedControls() = 0;
};

// Controls collections of a designer also remove.
class DesignerControls : public Controls {
 public:
  // Removes the control and everything it contains.
  virtual void Remove(Control& control) = 0;
};

class FormDesigner {
 public:
  virtual ~FormDesigner() = default;
  // Controls placed directly on the form.
  virtual DesignerControls& Controls() = 0;
  // Every control of the form, nested ones included, in file order.
  virtual DesignerControls& AllControls() = 0;
};

class Component {
 public:
  virtual ~Component() = default;
  virtual std::string Name() const = 0;
  virtual ComponentType Type() const = 0;
  // nullptr when the component has no code (a resource file, a related document).
  virtual host::CodeModule* CodeModule() = 0;
  // nullptr when the component has no designer (modules, classes).
  virtual FormDesigner* Designer() = 0;
  // The form-level design-time properties ("Icon", "BackColor", ...); HostError without designer.
  virtual host::Properties& Properties() = 0;
  // FileNames(1) is the component's file; a form's side file is not counted.
  virtual std::string FileNames(int index) const = 0;
  virtual std::string Description() const = 0;
  virtual void SetDescription(std::string_view text) = 0;
  virtual std::int32_t HelpContextID() const = 0;
  virtual void SetHelpContextID(std::int32_t id) = 0;
};

using Components = Collection<Component>;

class Reference {
 public:
  virtual ~Reference() = default;
  virtual std::string Name() const = 0;
  virtual std::string Description() const = 0;
  virtual int Major() const = 0;
  virtual int Minor() const = 0;
  virtual std::string FullPath() const = 0;
};

using References = Collection<Reference>;

class Project {
 public:
  virtual ~Project() = default;
  virtual std::string Name() const = 0;
  // "" when the project was never saved.
  virtual std::string FileName() const = 0;
  virtual host::Components& Components() = 0;
  virtual host::References& References() = 0;
};

struct Selection {
  int start_line = 0;
  int start_column = 0;
  int end_line = 0;
  int end_column = 0;
  friend bool operator==(const Selection&, const Selection&) = default;
};

class CodePane {
 public:
  virtual ~CodePane() = default;
  virtual host::CodeModule& CodeModule() = 0;
  virtual Selection GetSelection() const = 0;
  virtual void SetSelection(const Selection& selection) = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual std::string Caption() const = 0;
  virtual WindowType Type() const = 0;
  virtual bool Visible() const = 0;
  virtual void Close() = 0;
  virtual void SetFocus() = 0;
};

using Windows = Collection<Window>;

// The IDE root object handed to the add-in at connection.
class Vbe {
 public:
  virtual ~Vbe() = default;
  // nullptr when there is none.
  virtual Project* ActiveProject() = 0;
  virtual CodePane* ActiveCodePane() = 0;
  virtual Window* ActiveWindow() = 0;
  virtual host::Windows& Windows() = 0;
  // The Immediate window's text; "" when it is empty. HostError when the IDE has none.
  virtual std::string ImmediateText() const = 0;
  virtual void SetImmediateText(std::string_view text) = 0;
};

}  // namespace marquill::host

// The designer of a form, MDI form, user control, property page or designer file: the
// `Begin Class Name ... End` tree of its file, kept as the raw lines it was read from.
//
// Each block is a control (the root block is the form itself): its Begin line names the class and
// the control, its property lines follow in the IDE's order, `BeginProperty ... EndProperty`
// groups are kept whole, and nested blocks are the controls it contains, in z-order. Only lines
// that an edit touches are rewritten, so an unchanged designer renders byte for byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/vbfiles/control_classes.h"

namespace marquill::host::vbfiles {

class Block;
class DesignerTree;
class LineWriter;
class SideFiles;

// Controls of one container (or of the whole designer), computed from the tree when it changes.
class BlockControls final : public DesignerControls {
 public:
  BlockControls(DesignerTree& tree, Block* container);  // nullptr: every control of the tree
  int Count() const override;
  Control& Item(int index) override;
  Control& Item(std::string_view name) override;
  void Remove(Control& control) override;

 private:
  const std::vector<Block*>& List() const;

  DesignerTree& tree_;
  Block* container_;
  mutable std::vector<Block*> list_;
  mutable std::uint64_t list_version_ = 0;
};

class BlockProperty final : public Property {
 public:
  BlockProperty(Block& block, std::string name) : block_(block), name_(std::move(name)) {}
  std::string Name() const override { return name_; }
  PropertyValue Value() const override;
  void SetValue(const PropertyValue& value) override;
  void SetObject(const Picture& picture) override;

 private:
  Block& block_;
  std::string name_;
};

class BlockProperties final : public Properties {
 public:
  explicit BlockProperties(Block& block) : block_(block) {}
  // "Name" and every property the block writes.
  int Count() const override;
  Property& Item(int index) override;
  // Written properties and those the class has unwritten (at their default); HostError for a
  // property the control does not have.
  Property& Item(std::string_view name) override;

 private:
  Block& block_;
  std::map<std::string, std::unique_ptr<BlockProperty>> cache_;  // by lower-case name
};

class Block final : public Control {
 public:
  enum class ItemKind { kProperty, kGroup, kOther, kChild };
  struct Item {
    ItemKind kind;
    std::vector<SourceLine> lines;  // one line; a whole group for kGroup; none for kChild
    std::unique_ptr<Block> child;
  };

  Block(DesignerTree& tree, Block* parent, SourceLine begin);
  ~Block() override;

  std::string ClassName() const override { return class_name_; }
  host::Properties& Properties() override { return properties_; }
  Controls& ContainedControls() override { return contained_; }

  const std::string& Name() const { return name_; }
  // The Index of a control-array element, if the block writes one.
  std::optional<int> Index() const;
  Block* Parent() const { return parent_; }
  const std::vector<Item>& Items() const { return items_; }
  std::vector<Block*> Children() const;
  const ControlClass* KnownClass() const { return class_; }

  bool HasProperty(std::string_view name) const;
  PropertyValue GetValue(std::string_view name) const;
  void SetValue(std::string_view name, const PropertyValue& value);
  void SetPicture(std::string_view name, const Picture& picture);

  void Render(LineWriter& writer) const;

 private:
  friend class DesignerTree;
  Item* FindWritten(std::string_view name);
  const Item* FindWritten(std::string_view name) const;
  void Rename(std::string_view name);
  void WriteLine(std::string_view name, std::string value_text);
  void RemoveLine(std::string_view name);
  std::size_t InsertPosition(std::string_view name) const;
  int PropertyIndent() const;

  DesignerTree& tree_;
  Block* parent_;
  SourceLine begin_;
  std::size_t name_pos_ = 0;
  std::string class_name_;
  std::string name_;
  const ControlClass* class_ = nullptr;
  std::vector<Item> items_;
  SourceLine end_;
  BlockProperties properties_;
  BlockControls contained_;
};

class DesignerTree final : public DesignerModel {
 public:
  // Controls inside controls: real forms nest a handful deep, and rendering, reading and freeing
  // the tree recurse once per level, so a deeper file is refused rather than left to overflow
  // the stack.
  static constexpr std::size_t kMaxNesting = 200;

  // Reads the block starting at lines[*index] and sets *index past its End. LoadError naming
  // `file_name` and the line of a Begin or BeginProperty that never closes.
  static std::unique_ptr<DesignerTree> Parse(const std::vector<SourceLine>& lines,
                                             std::size_t* index, const std::string& file_name);
  ~DesignerTree() override;

  DesignerControls& Controls() override { return *root_controls_; }
  DesignerControls& AllControls() override { return all_controls_; }
  host::Properties& FormProperties() override { return root_->Properties(); }
  std::uint64_t Revision() const override { return revision_; }

  Block& Root() { return *root_; }
  const Block& Root() const { return *root_; }
  // Every block under the root, in file order.
  std::vector<Block*> AllBlocks() const;
  void Render(LineWriter& writer) const { root_->Render(writer); }

  // Where pictures live: the side-file store and the designer's own file, whose name gives the
  // side file's ("Form1.frm" -> "Form1.frx") when the designer has none yet.
  void AttachSideFiles(SideFiles* side_files, std::filesystem::path designer_file);
  SideFiles& SideFileStore() const;
  std::filesystem::path SideFilePath(std::string_view listed_name) const;
  // The side file name new pictures go to: the one the designer already uses, else the default.
  std::string SideFileName() const;

  // Removes a block and everything in it; the object stays alive so stale references do no harm.
  void Remove(Block& block);
  void Touch() { ++revision_; }
  std::uint64_t StructureVersion() const { return structure_version_; }

 private:
  DesignerTree();

  std::unique_ptr<Block> root_;
  std::unique_ptr<BlockControls> root_controls_;
  BlockControls all_controls_;
  std::vector<std::unique_ptr<Block>> removed_;
  SideFiles* side_files_ = nullptr;
  std::filesystem::path designer_file_;
  std::uint64_t revision_ = 0;
  std::uint64_t structure_version_ = 1;
};

}  // namespace marquill::host::vbfiles

#include "host/vbfiles/designer.h"

#include <algorithm>

#include "host/memory/memory_host.h"
#include "host/text/quote.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/property_text.h"
#include "host/vbfiles/side_files.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace {

constexpr int kIndentStep = 3;

bool IsWordStart(std::string_view trimmed, std::string_view word) {
  return trimmed.starts_with(word) && (trimmed.size() == word.size() ||
                                       trimmed[word.size()] == ' ' || trimmed[word.size()] == '\t');
}

// The word after `keyword` on a Begin or BeginProperty line.
std::string_view SecondWord(std::string_view trimmed) {
  std::string_view rest = trimmed.substr(std::min(trimmed.size(), trimmed.find_first_of(" \t")));
  rest = TrimBlanks(rest);
  return rest.substr(0, rest.find_first_of(" \t"));
}

int LeadingSpaces(std::string_view text) {
  int count = 0;
  while (static_cast<std::size_t>(count) < text.size() &&
         text[static_cast<std::size_t>(count)] == ' ')
    ++count;
  return count;
}

std::string_view ItemName(const Block::Item& item) {
  if (item.kind == Block::ItemKind::kGroup) return SecondWord(TrimBlanks(item.lines.front().text));
  if (item.kind != Block::ItemKind::kProperty) return {};
  const auto parts = SplitPropertyLine(item.lines.front().text);
  return parts ? parts->name : std::string_view();
}

bool IsValidName(std::string_view name) {
  if (name.empty() || name.size() > 40) return false;
  const auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (!alpha(name.front())) return false;
  return std::all_of(name.begin(), name.end(), [&](char c) {
    return alpha(c) || (c >= '0' && c <= '9') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
  });
}

PropertyValue DefaultOf(const PropertySpec& spec) {
  if (spec.kind == PropertyKind::kPicture) return Picture{};
  if (spec.default_text != nullptr) return ParsePropertyValue(spec.name, spec.default_text, &spec);
  switch (spec.kind) {
    case PropertyKind::kBool:
      return false;
    case PropertyKind::kInteger:
      return std::int32_t{0};
    case PropertyKind::kDouble:
      return 0.0;
    case PropertyKind::kColor:
      return Color{};
    default:
      return std::string();
  }
}

}  // namespace

// ---- BlockControls

BlockControls::BlockControls(DesignerTree& tree, Block* container)
    : tree_(tree), container_(container) {}

const std::vector<Block*>& BlockControls::List() const {
  if (list_version_ != tree_.StructureVersion()) {
    list_ = container_ != nullptr ? container_->Children() : tree_.AllBlocks();
    list_version_ = tree_.StructureVersion();
  }
  return list_;
}

int BlockControls::Count() const { return static_cast<int>(List().size()); }

Control& BlockControls::Item(int index) {
  const std::vector<Block*>& list = List();
  if (index < 1 || index > static_cast<int>(list.size())) {
    throw HostError("no control number " + std::to_string(index));
  }
  return *list[static_cast<std::size_t>(index - 1)];
}

Control& BlockControls::Item(std::string_view name) {
  for (Block* block : List()) {
    if (EqualsNoCase(block->Name(), name)) return *block;
  }
  throw HostError("no control named " + std::string(name));
}

void BlockControls::Remove(Control& control) {
  const std::vector<Block*>& list = List();
  auto found = std::find(list.begin(), list.end(), &control);
  if (found == list.end()) throw HostError("the control is not in this collection");
  tree_.Remove(**found);
}

// ---- BlockProperty and BlockProperties

PropertyValue BlockProperty::Value() const { return block_.GetValue(name_); }
void BlockProperty::SetValue(const PropertyValue& value) { block_.SetValue(name_, value); }
void BlockProperty::SetObject(const Picture& picture) { block_.SetPicture(name_, picture); }

int BlockProperties::Count() const {
  return 1 + static_cast<int>(std::count_if(block_.Items().begin(), block_.Items().end(),
                                            [](const Block::Item& item) {
                                              return item.kind == Block::ItemKind::kProperty ||
                                                     item.kind == Block::ItemKind::kGroup;
                                            }));
}

Property& BlockProperties::Item(int index) {
  if (index == 1) return Item("Name");
  int seen = 1;
  for (const Block::Item& item : block_.Items()) {
    if (item.kind != Block::ItemKind::kProperty && item.kind != Block::ItemKind::kGroup) continue;
    if (++seen == index) return Item(ItemName(item));
  }
  throw HostError("no property number " + std::to_string(index));
}

Property& BlockProperties::Item(std::string_view name) {
  if (!block_.HasProperty(name)) {
    throw HostError(block_.Name() + " has no property " + std::string(name));
  }
  std::unique_ptr<BlockProperty>& slot = cache_[LowerAscii(name)];
  if (!slot) slot = std::make_unique<BlockProperty>(block_, std::string(name));
  return *slot;
}

// ---- Block

Block::Block(DesignerTree& tree, Block* parent, SourceLine begin)
    : tree_(tree),
      parent_(parent),
      begin_(std::move(begin)),
      properties_(*this),
      contained_(tree, this) {
  const std::string_view text = begin_.text;
  const std::string_view trimmed = TrimBlanks(text);
  class_name_ = std::string(SecondWord(trimmed));
  const std::size_t class_end =
      static_cast<std::size_t>(SecondWord(trimmed).data() - text.data()) + class_name_.size();
  std::size_t start = class_end;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  std::size_t end = start;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
  name_pos_ = start;
  name_ = std::string(text.substr(start, end - start));
  class_ = FindControlClass(class_name_);
}

Block::~Block() = default;

std::optional<int> Block::Index() const {
  const Item* item = FindWritten("Index");
  if (item == nullptr) return std::nullopt;
  const PropertyValue value =
      ParsePropertyValue("Index", SplitPropertyLine(item->lines.front().text)->value, nullptr);
  if (const auto* whole = std::get_if<std::int32_t>(&value)) return *whole;
  return std::nullopt;
}

std::vector<Block*> Block::Children() const {
  std::vector<Block*> children;
  for (const Item& item : items_) {
    if (item.kind == ItemKind::kChild) children.push_back(item.child.get());
  }
  return children;
}

const Block::Item* Block::FindWritten(std::string_view name) const {
  for (const Item& item : items_) {
    if ((item.kind == ItemKind::kProperty || item.kind == ItemKind::kGroup) &&
        EqualsNoCase(ItemName(item), name))
      return &item;
  }
  return nullptr;
}

Block::Item* Block::FindWritten(std::string_view name) {
  return const_cast<Item*>(static_cast<const Block*>(this)->FindWritten(name));
}

bool Block::HasProperty(std::string_view name) const {
  return EqualsNoCase(name, "Name") || FindWritten(name) != nullptr ||
         (class_ != nullptr && FindProperty(*class_, name) != nullptr);
}

PropertyValue Block::GetValue(std::string_view name) const {
  if (EqualsNoCase(name, "Name")) return name_;
  const PropertySpec* spec = class_ != nullptr ? FindProperty(*class_, name) : nullptr;
  if (const Item* item = FindWritten(name)) {
    if (item->kind == ItemKind::kGroup) return std::monostate{};
    const std::string_view value = SplitPropertyLine(item->lines.front().text)->value;
    if (const std::optional<SideFileRef> ref = ParseSideFileRef(TrimTrailingSpaces(value))) {
      SideFiles& store = tree_.SideFileStore();
      const std::filesystem::path path = tree_.SideFilePath(ref->file);
      if (ref->text) return store.ReadText(path, ref->offset);
      return Picture{store.ReadPicture(path, ref->offset)};
    }
    return ParsePropertyValue(name, value, spec);
  }
  if (spec == nullptr) throw HostError(name_ + " has no property " + std::string(name));
  return DefaultOf(*spec);
}

void Block::SetValue(std::string_view name, const PropertyValue& value) {
  if (EqualsNoCase(name, "Name")) {
    const auto* text = std::get_if<std::string>(&value);
    if (text == nullptr) throw HostError("a name is a text");
    Rename(*text);
    return;
  }
  if (const auto* picture = std::get_if<Picture>(&value)) {
    SetPicture(name, *picture);
    return;
  }
  if (std::holds_alternative<std::monostate>(value)) {
    RemoveLine(name);
    return;
  }
  const PropertySpec* spec = class_ != nullptr ? FindProperty(*class_, name) : nullptr;
  if (spec == nullptr && FindWritten(name) == nullptr)
    throw HostError(name_ + " has no property " + std::string(name));
  const PropertyValue typed = spec != nullptr ? CoerceToKind(value, spec->kind) : value;
  std::string text = FormatPropertyValue(typed, spec);
  if (Item* item = FindWritten(name); item != nullptr && item->kind == ItemKind::kGroup) {
    throw HostError(std::string(name) + " is a property group");
  }
  // The IDE writes only what differs from the default.
  if (spec != nullptr && spec->default_text != nullptr && DefaultOf(*spec) == typed) {
    RemoveLine(name);
    return;
  }
  if (const Item* item = FindWritten(name)) {
    const std::string_view old = SplitPropertyLine(item->lines.front().text)->value;
    if (!ParseSideFileRef(TrimTrailingSpaces(old)) && ParsePropertyValue(name, old, spec) == typed)
      return;
  }
  WriteLine(name, std::move(text));
}

void Block::SetPicture(std::string_view name, const Picture& picture) {
  const PropertySpec* spec = class_ != nullptr ? FindProperty(*class_, name) : nullptr;
  const bool picture_property = spec != nullptr ? spec->kind == PropertyKind::kPicture
                                                : class_ == nullptr && IsPictureName(name);
  if (!picture_property) throw HostError(std::string(name) + " does not hold a picture");
  if (picture.bytes.empty()) {
    RemoveLine(name);
    return;
  }
  SideFileRef ref;
  ref.file = tree_.SideFileName();
  ref.offset = tree_.SideFileStore().AppendPicture(tree_.SideFilePath(ref.file), picture.bytes);
  WriteLine(name, FormatSideFileRef(ref));
}

void Block::Rename(std::string_view name) {
  if (parent_ == nullptr) throw HostError("the form's name is its component's name");
  if (!IsValidName(name))
    throw HostError("\"" + std::string(name) + "\" is not a valid control name");
  if (name == name_) return;
  // A name is shared only by the elements of one control array: same class, distinct indexes.
  const std::optional<int> index = Index();
  for (Block* other : tree_.AllBlocks()) {
    if (other == this || !EqualsNoCase(other->Name(), name)) continue;
    const bool joins_array = index.has_value() && other->Index().has_value() &&
                             other->ClassName() == class_name_ && *other->Index() != *index;
    if (!joins_array) throw HostError("a control named " + std::string(name) + " already exists");
  }
  begin_.text.replace(name_pos_, name_.size(), name);
  name_ = std::string(name);
  tree_.Touch();
}

void Block::WriteLine(std::string_view name, std::string value_text) {
  if (Item* item = FindWritten(name)) {
    SourceLine& line = item->lines.front();
    const std::size_t value_start = SplitPropertyLine(line.text)->value_start;
    const std::string updated = line.text.substr(0, value_start) + value_text;
    if (updated == line.text) return;
    line.text = updated;
    tree_.Touch();
    return;
  }
  const std::string_view written_name =
      (class_ != nullptr && FindProperty(*class_, name) != nullptr)
          ? FindProperty(*class_, name)->name
          : name;
  const std::size_t at = InsertPosition(written_name);
  const Eol eol =
      at > 0 && !items_[at - 1].lines.empty() ? items_[at - 1].lines.back().eol : begin_.eol;
  Item item{ItemKind::kProperty,
            {SourceLine{MakePropertyLine(PropertyIndent(), written_name, value_text), eol}},
            nullptr};
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  tree_.Touch();
}

void Block::RemoveLine(std::string_view name) {
  const auto found = std::find_if(items_.begin(), items_.end(), [&](const Item& item) {
    return item.kind == ItemKind::kProperty && EqualsNoCase(ItemName(item), name);
  });
  if (found == items_.end()) return;
  items_.erase(found);
  tree_.Touch();
}

// Known classes get the IDE's alphabetical order; for others the new line goes after the last
// property, before the contained controls.
std::size_t Block::InsertPosition(std::string_view name) const {
  const std::string key = LowerAscii(name);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].kind == ItemKind::kChild) return i;
    if (class_ != nullptr && items_[i].kind != ItemKind::kOther &&
        LowerAscii(ItemName(items_[i])) > key)
      return i;
  }
  return items_.size();
}

int Block::PropertyIndent() const {
  for (const Item& item : items_) {
    if (item.kind == ItemKind::kProperty || item.kind == ItemKind::kGroup)
      return LeadingSpaces(item.lines.front().text);
  }
  return LeadingSpaces(begin_.text) + kIndentStep;
}

void Block::Render(LineWriter& writer) const {
  writer.Write(begin_);
  for (const Item& item : items_) {
    if (item.kind == ItemKind::kChild) {
      item.child->Render(writer);
    } else {
      for (const SourceLine& line : item.lines) writer.Write(line);
    }
  }
  writer.Write(end_);
}

// ---- DesignerTree

namespace {

// Every control is found by its class and its name: a block without them cannot be one.
void RequireClassAndName(const std::vector<SourceLine>& lines, std::size_t i,
                         const std::string& file_name) {
  const std::string_view text = lines[i].text;
  const std::string_view class_name = SecondWord(TrimBlanks(text));
  const auto class_end =
      static_cast<std::size_t>(class_name.data() - text.data()) + class_name.size();
  const std::string_view rest = TrimBlanks(text.substr(class_end));
  if (class_name.empty() || rest.empty()) {
    throw LoadError(file_name, static_cast<int>(i + 1),
                    "Begin needs a control class and a name (Begin VB.TextBox Text1)");
  }
}

}  // namespace

DesignerTree::DesignerTree() : all_controls_(*this, nullptr) {}
DesignerTree::~DesignerTree() = default;

std::unique_ptr<DesignerTree> DesignerTree::Parse(const std::vector<SourceLine>& lines,
                                                  std::size_t* index,
                                                  const std::string& file_name) {
  std::unique_ptr<DesignerTree> tree(new DesignerTree());
  std::size_t i = *index;
  RequireClassAndName(lines, i, file_name);
  tree->root_ = std::make_unique<Block>(*tree, nullptr, lines[i]);
  tree->root_controls_ = std::make_unique<BlockControls>(*tree, tree->root_.get());
  std::vector<std::pair<Block*, std::size_t>> open = {{tree->root_.get(), i}};
  for (++i; i < lines.size(); ++i) {
    Block& block = *open.back().first;
    const std::string_view trimmed = TrimBlanks(lines[i].text);
    if (IsWordStart(trimmed, "BeginProperty")) {
      const std::size_t first = i;
      for (int depth = 1; depth > 0;) {
        if (++i == lines.size()) {
          throw LoadError(file_name, static_cast<int>(first + 1),
                          "BeginProperty " + QuoteInput(SecondWord(trimmed)) +
                              " never closes (no EndProperty)");
        }
        const std::string_view inner = TrimBlanks(lines[i].text);
        if (IsWordStart(inner, "BeginProperty")) ++depth;
        if (inner == "EndProperty") --depth;
      }
      block.items_.push_back({Block::ItemKind::kGroup,
                              {lines.begin() + static_cast<std::ptrdiff_t>(first),
                               lines.begin() + static_cast<std::ptrdiff_t>(i + 1)},
                              nullptr});
    } else if (IsWordStart(trimmed, "Begin")) {
      RequireClassAndName(lines, i, file_name);
      if (open.size() > kMaxNesting) {
        throw LoadError(file_name, static_cast<int>(i + 1),
                        "controls nested more than " + std::to_string(kMaxNesting) + " deep");
      }
      auto child = std::make_unique<Block>(*tree, &block, lines[i]);
      open.emplace_back(child.get(), i);
      block.items_.push_back({Block::ItemKind::kChild, {}, std::move(child)});
    } else if (trimmed == "End") {
      block.end_ = lines[i];
      open.pop_back();
      if (open.empty()) {
        *index = i + 1;
        return tree;
      }
    } else {
      const bool property = SplitPropertyLine(lines[i].text).has_value();
      block.items_.push_back(
          {property ? Block::ItemKind::kProperty : Block::ItemKind::kOther, {lines[i]}, nullptr});
    }
  }
  const auto& [unclosed, line] = open.back();
  throw LoadError(file_name, static_cast<int>(line + 1),
                  "Begin " + QuoteInput(unclosed->ClassName()) + " " +
                      QuoteInput(unclosed->Name()) + " never closes (no End)");
}

std::vector<Block*> DesignerTree::AllBlocks() const {
  std::vector<Block*> all;
  std::vector<Block*> pending = root_->Children();
  std::reverse(pending.begin(), pending.end());
  while (!pending.empty()) {
    Block* block = pending.back();
    pending.pop_back();
    all.push_back(block);
    std::vector<Block*> children = block->Children();
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  return all;
}

void DesignerTree::AttachSideFiles(SideFiles* side_files, std::filesystem::path designer_file) {
  side_files_ = side_files;
  designer_file_ = std::move(designer_file);
}

SideFiles& DesignerTree::SideFileStore() const {
  if (side_files_ == nullptr) throw HostError("this designer has no side file");
  return *side_files_;
}

std::filesystem::path DesignerTree::SideFilePath(std::string_view listed_name) const {
  const std::filesystem::path folder =
      designer_file_.has_parent_path() ? designer_file_.parent_path() : ".";
  std::filesystem::path found = ResolveListedPath(folder, listed_name);
  if (!found.empty()) return found;
  std::string name(listed_name);
  std::replace(name.begin(), name.end(), '\\', '/');
  return folder / name;
}

std::string DesignerTree::SideFileName() const {
  std::vector<const Block*> blocks = {root_.get()};
  for (const Block* block : AllBlocks()) blocks.push_back(block);
  for (const Block* block : blocks) {
    for (const Block::Item& item : block->Items()) {
      if (item.kind != Block::ItemKind::kProperty) continue;
      const auto parts = SplitPropertyLine(item.lines.front().text);
      if (const auto ref = ParseSideFileRef(TrimTrailingSpaces(parts->value))) return ref->file;
    }
  }
  std::string extension = LowerAscii(designer_file_.extension().string());
  const std::string side = extension == ".ctl"   ? ".ctx"
                           : extension == ".pag" ? ".pgx"
                           : extension == ".dob" ? ".dox"
                           : extension == ".dsr" ? ".dsx"
                                                 : ".frx";
  return designer_file_.stem().string() + side;
}

void DesignerTree::Remove(Block& block) {
  Block* parent = block.Parent();
  if (parent == nullptr) throw HostError("the form itself cannot be removed");
  auto& items = parent->items_;
  const auto found = std::find_if(items.begin(), items.end(), [&](const Block::Item& item) {
    return item.child.get() == &block;
  });
  if (found == items.end()) throw HostError("the control is not on this designer");
  removed_.push_back(std::move(found->child));
  items.erase(found);
  ++structure_version_;
  Touch();
}

}  // namespace marquill::host::vbfiles

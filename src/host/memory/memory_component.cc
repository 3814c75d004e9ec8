#include <utility>

#include "host/memory/memory_host.h"

namespace marquill::host {
namespace {

bool HasCode(ComponentType type) {
  return type != ComponentType::kResFile && type != ComponentType::kRelatedDocument;
}

}  // namespace

struct MemoryComponent::Impl {
  MemoryProject& project;
  std::string name;
  ComponentType type;
  std::unique_ptr<MemoryCodeModule> code;
  std::unique_ptr<DesignerModel> designer;
  std::string file_name;
  AttributeSet attributes;
};

MemoryComponent::MemoryComponent(MemoryProject& project, std::string name, ComponentType type)
    : impl_(
          std::make_unique<Impl>(Impl{project, std::move(name), type, nullptr, nullptr, "", {}})) {
  if (HasCode(type)) SetCode({});
}

MemoryComponent::~MemoryComponent() = default;

std::string MemoryComponent::Name() const { return impl_->name; }

ComponentType MemoryComponent::Type() const { return impl_->type; }

host::CodeModule* MemoryComponent::CodeModule() { return impl_->code.get(); }

FormDesigner* MemoryComponent::Designer() { return impl_->designer.get(); }

host::Properties& MemoryComponent::Properties() {
  if (impl_->designer == nullptr) throw HostError(impl_->name + " has no designer");
  return impl_->designer->FormProperties();
}

std::string MemoryComponent::FileNames(int index) const {
  if (index != 1) throw HostError("a component has one file name, not " + std::to_string(index));
  return impl_->file_name;
}

std::string MemoryComponent::Description() const { return impl_->attributes.Description(""); }

void MemoryComponent::SetDescription(std::string_view text) {
  impl_->attributes.SetDescription("", text, ProcKind::kProc);
}

std::int32_t MemoryComponent::HelpContextID() const { return impl_->attributes.HelpContextID(""); }

void MemoryComponent::SetHelpContextID(std::int32_t id) {
  impl_->attributes.SetHelpContextID("", id, ProcKind::kProc);
}

MemoryProject& MemoryComponent::OwnerProject() { return impl_->project; }

MemoryCodeModule& MemoryComponent::SetCode(std::vector<SourceLine> lines, Eol new_line_eol) {
  if (impl_->code == nullptr) {
    impl_->code = std::make_unique<MemoryCodeModule>(*this, std::move(lines), new_line_eol);
  } else {
    impl_->code->Reset(std::move(lines), new_line_eol);
  }
  return *impl_->code;
}

MemoryCodeModule& MemoryComponent::SetCodeText(std::string_view text) {
  std::vector<SourceLine> lines = SplitSourceText(text);
  const Eol eol = lines.empty() || lines.front().eol == Eol::kNone ? Eol::kCrLf : lines.front().eol;
  return SetCode(std::move(lines), eol);
}

MemoryCodeModule* MemoryComponent::Code() { return impl_->code.get(); }

void MemoryComponent::SetDesigner(std::unique_ptr<DesignerModel> designer) {
  impl_->designer = std::move(designer);
}

DesignerModel* MemoryComponent::DesignerModelOrNull() { return impl_->designer.get(); }

void MemoryComponent::SetFileName(std::string path) { impl_->file_name = std::move(path); }

AttributeSet& MemoryComponent::Attributes() { return impl_->attributes; }
const AttributeSet& MemoryComponent::Attributes() const { return impl_->attributes; }

std::uint64_t MemoryComponent::Revision() const { return impl_->attributes.Revision(); }

}  // namespace marquill::host

#include <algorithm>
#include <utility>

#include "host/memory/list_collection.h"
#include "host/memory/memory_host.h"

namespace marquill::host {
namespace {

class ReferenceObject final : public Reference {
 public:
  explicit ReferenceObject(MemoryReference data) : data_(std::move(data)) {}
  std::string Name() const override { return data_.name; }
  std::string Description() const override { return data_.description; }
  int Major() const override { return data_.major; }
  int Minor() const override { return data_.minor; }
  std::string FullPath() const override { return data_.full_path; }

 private:
  MemoryReference data_;
};

std::string ComponentName(const Component& component) { return component.Name(); }
std::string ReferenceName(const Reference& reference) { return reference.Name(); }

}  // namespace

struct MemoryProject::Impl {
  std::string name;
  std::string file_name;
  std::vector<std::unique_ptr<MemoryComponent>> owned;  // removed ones included
  std::vector<MemoryComponent*> components;             // in the collection, in order
  std::vector<std::unique_ptr<ReferenceObject>> owned_references;
  std::vector<ReferenceObject*> references;
  ListCollection<Component, MemoryComponent> component_list{components, ComponentName, "component"};
  ListCollection<Reference, ReferenceObject> reference_list{references, ReferenceName, "reference"};
};

MemoryProject::MemoryProject(std::string name, std::string file_name)
    : impl_(std::make_unique<Impl>()) {
  impl_->name = std::move(name);
  impl_->file_name = std::move(file_name);
}

MemoryProject::~MemoryProject() = default;

std::string MemoryProject::Name() const { return impl_->name; }

std::string MemoryProject::FileName() const { return impl_->file_name; }

host::Components& MemoryProject::Components() { return impl_->component_list; }

host::References& MemoryProject::References() { return impl_->reference_list; }

MemoryComponent& MemoryProject::AddComponent(std::string name, ComponentType type) {
  if (impl_->component_list.Find(name) != nullptr) {
    throw HostError("the project has a component named " + name + " already");
  }
  impl_->owned.push_back(std::make_unique<MemoryComponent>(*this, std::move(name), type));
  impl_->components.push_back(impl_->owned.back().get());
  return *impl_->owned.back();
}

void MemoryProject::RemoveComponent(std::string_view name) {
  Component& component = impl_->component_list.Item(name);
  std::erase(impl_->components, &component);
}

MemoryComponent& MemoryProject::ComponentNamed(std::string_view name) {
  MemoryComponent* found = static_cast<MemoryComponent*>(impl_->component_list.Find(name));
  if (found == nullptr) throw HostError("no component named " + std::string(name));
  return *found;
}

std::vector<MemoryComponent*> MemoryProject::AllComponents() { return impl_->components; }

void MemoryProject::AddReference(MemoryReference reference) {
  impl_->owned_references.push_back(std::make_unique<ReferenceObject>(std::move(reference)));
  impl_->references.push_back(impl_->owned_references.back().get());
}

void MemoryProject::SetFileName(std::string path) { impl_->file_name = std::move(path); }

}  // namespace marquill::host

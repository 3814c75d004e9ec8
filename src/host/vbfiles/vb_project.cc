#include "host/vbfiles/vb_project.h"

#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace fs = std::filesystem;

namespace {

ComponentType TypeOf(ListedKind kind, const DesignerTree* designer) {
  switch (kind) {
    case ListedKind::kForm:
      return designer != nullptr && designer->Root().ClassName() == "VB.MDIForm" ? ComponentType::kMDIForm
                                                                                 : ComponentType::kVBForm;
    case ListedKind::kModule:
      return ComponentType::kStdModule;
    case ListedKind::kClass:
      return ComponentType::kClassModule;
    case ListedKind::kUserControl:
      return ComponentType::kUserControl;
    case ListedKind::kPropertyPage:
      return ComponentType::kPropPage;
    case ListedKind::kUserDocument:
      return ComponentType::kDocObject;
    case ListedKind::kDesigner:
      return designer != nullptr && designer->Root().ClassName().starts_with("MSForms.") ? ComponentType::kMSForm
                                                                                          : ComponentType::kActiveXDesigner;
    case ListedKind::kRelatedDoc:
      return ComponentType::kRelatedDocument;
    case ListedKind::kResFile:
      return ComponentType::kResFile;
  }
  return ComponentType::kStdModule;
}

std::string StemOf(const fs::path& path) { return path.stem().string(); }

}  // namespace

VbProject::~VbProject() = default;

std::unique_ptr<VbProject> VbProject::Load(const fs::path& vbp_path) {
  std::unique_ptr<VbProject> project(new VbProject());
  project->path_ = vbp_path;
  project->vbp_bytes_ = ReadFileBytes(vbp_path);
  project->vbp_ = VbpFile::Parse(project->vbp_bytes_, vbp_path.string());
  const std::string name = project->vbp_.project_name.empty() ? StemOf(vbp_path) : project->vbp_.project_name;
  project->owned_ = std::make_unique<MemoryProject>(name, vbp_path.string());
  project->project_ = project->owned_.get();
  for (const ListedFile& listed : project->vbp_.files) project->LoadEntry(listed);
  for (const VbpReference& reference : project->vbp_.references) project->project_->AddReference(reference.reference);
  return project;
}

void VbProject::LoadEntry(const ListedFile& listed) {
  const std::string vbp_name = path_.string();
  const fs::path path = ResolveListedPath(path_.parent_path(), listed.path);
  if (path.empty()) throw LoadError(vbp_name, listed.line, "listed file not found: " + listed.path);
  Entry entry{listed, nullptr, path, nullptr};
  try {
    if (!HoldsCode(listed.kind)) {
      entry.component = &project_->AddComponent(path.filename().string(), TypeOf(listed.kind, nullptr));
      entry.component->SetFileName(path.string());
      entries_.push_back(std::move(entry));
      return;
    }
    ParsedComponentFile parsed = ParseComponentFile(ReadFileBytes(path), path.string());
    std::string name = parsed.vb_name;
    if (name.empty()) name = listed.name.empty() ? StemOf(path) : listed.name;
    MemoryComponent& component = project_->AddComponent(name, TypeOf(listed.kind, parsed.designer.get()));
    component.SetFileName(path.string());
    if (parsed.designer) parsed.designer->AttachSideFiles(&side_files_, path);
    entry.component = &component;
    entry.image = std::make_unique<ComponentImage>(Install(std::move(parsed), path, component));
  } catch (const HostError& error) {
    throw LoadError(vbp_name, listed.line, error.what());
  }
  entries_.push_back(std::move(entry));
}

MemoryProject& VbProject::AttachTo(MemoryVbe& vbe) {
  if (owned_) vbe.AddProject(std::move(owned_));
  vbe.SetActiveProject(project_);
  return *project_;
}

void VbProject::Visit(SaveMode mode, const std::function<void(const fs::path&, std::string)>& visit) {
  std::string vbp = vbp_.Render();
  if (mode == SaveMode::kAll || vbp != vbp_bytes_) visit(path_, std::move(vbp));
  for (Entry& entry : entries_) {
    if (!entry.image) continue;
    if (mode == SaveMode::kAll || HasChanged(*entry.image, *entry.component)) {
      visit(entry.path, RenderComponent(*entry.image, *entry.component));
    }
  }
  for (const fs::path& side_file : side_files_.ChangedFiles()) visit(side_file, side_files_.Contents(side_file));
}

std::vector<VbProject::OutputFile> VbProject::SaveToMemory(SaveMode mode) {
  std::vector<OutputFile> files;
  Visit(mode, [&](const fs::path& path, std::string bytes) { files.push_back({path, std::move(bytes)}); });
  return files;
}

std::vector<fs::path> VbProject::Save(SaveMode mode) {
  AtomicFileSet set;
  std::vector<fs::path> written;
  Visit(mode, [&](const fs::path& path, std::string bytes) {
    set.Stage(path, bytes);
    written.push_back(path);
  });
  set.Commit();
  MarkAllSaved();
  return written;
}

void VbProject::ForEachRendered(const std::function<void(const fs::path&, const std::string&)>& visit) {
  visit(path_, vbp_.Render());
  for (Entry& entry : entries_) {
    if (entry.image) visit(entry.path, RenderComponent(*entry.image, *entry.component));
  }
}

void VbProject::MarkAllSaved() {
  vbp_bytes_ = vbp_.Render();
  for (Entry& entry : entries_) {
    if (entry.image) MarkSaved(*entry.image, *entry.component);
  }
  side_files_.MarkSaved();
}

}  // namespace marquill::host::vbfiles

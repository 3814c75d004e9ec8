#include "host/vbfiles/vb_project.h"

#include "host/files/file_transaction.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/parallel.h"
#include "host/vbfiles/text_file.h"

namespace marquill::host::vbfiles {
namespace fs = std::filesystem;

namespace {

ComponentType TypeOf(ListedKind kind, const DesignerTree* designer) {
  switch (kind) {
    case ListedKind::kForm:
      return designer != nullptr && designer->Root().ClassName() == "VB.MDIForm"
                 ? ComponentType::kMDIForm
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
      return designer != nullptr && designer->Root().ClassName().starts_with("MSForms.")
                 ? ComponentType::kMSForm
                 : ComponentType::kActiveXDesigner;
    case ListedKind::kRelatedDoc:
      return ComponentType::kRelatedDocument;
    case ListedKind::kResFile:
      return ComponentType::kResFile;
  }
  return ComponentType::kStdModule;
}

std::string StemOf(const fs::path& path) { return path.stem().string(); }

// Forms, user controls, property pages and user documents cannot exist without their designer.
bool NeedsDesigner(ListedKind kind) {
  return kind == ListedKind::kForm || kind == ListedKind::kUserControl ||
         kind == ListedKind::kPropertyPage || kind == ListedKind::kUserDocument;
}

}  // namespace

VbProject::~VbProject() = default;

std::unique_ptr<VbProject> VbProject::Load(const fs::path& vbp_path) {
  return LoadFrom(vbp_path, nullptr);
}

std::unique_ptr<VbProject> VbProject::Load(const fs::path& vbp_path, std::string vbp_bytes) {
  return LoadFrom(vbp_path, &vbp_bytes);
}

std::unique_ptr<VbProject> VbProject::LoadFrom(const fs::path& vbp_path,
                                               const std::string* vbp_bytes) {
  std::unique_ptr<VbProject> project(new VbProject());
  project->path_ = vbp_path;
  // Another run's save must not go on while this one reads, or clears what a killed one left.
  const FolderLock lock(fs::path(project->JournalPath()).parent_path().string());
  project->RecoverInterruptedSave();
  project->vbp_bytes_ = vbp_bytes != nullptr ? *vbp_bytes : ReadFileBytes(vbp_path);
  project->vbp_ = VbpFile::Parse(project->vbp_bytes_, vbp_path.string());
  const std::string name =
      project->vbp_.project_name.empty() ? StemOf(vbp_path) : project->vbp_.project_name;
  project->owned_ = std::make_unique<MemoryProject>(name, vbp_path.string());
  project->project_ = project->owned_.get();
  // Files are read and parsed side by side; the model is then built in the project's order.
  const std::vector<ListedFile>& files = project->vbp_.files;
  std::vector<ParsedEntry> parsed(files.size());
  ForEachInParallel(files.size(),
                    [&](std::size_t i) { parsed[i] = project->ParseEntry(files[i]); });
  for (ParsedEntry& entry : parsed) project->AddEntry(entry);
  // Each component's code and attributes go into its own objects: side by side again.
  ForEachInParallel(parsed.size(), [&](std::size_t i) {
    Entry& entry = project->entries_[i];
    if (!HoldsCode(entry.listed.kind)) return;
    entry.image = std::make_unique<ComponentImage>(
        Install(std::move(parsed[i].file), entry.path, *entry.component));
  });
  for (const VbpReference& reference : project->vbp_.references)
    project->project_->AddReference(reference.reference);
  project->RemoveStrayTemporaries();
  return project;
}

VbProject::ParsedEntry VbProject::ParseEntry(const ListedFile& listed) const {
  ParsedEntry entry{listed, ResolveListedPath(path_.parent_path(), listed.path), {}};
  if (entry.path.empty())
    throw LoadError(path_.string(), listed.line, "listed file not found: " + listed.path);
  std::error_code error;
  if (fs::is_directory(entry.path, error))
    throw LoadError(path_.string(), listed.line, "listed file is a folder: " + listed.path);
  if (!HoldsCode(listed.kind)) return entry;
  std::string bytes;
  try {
    bytes = ReadFileBytes(entry.path);
  } catch (const LoadError& unreadable) {
    throw LoadError(path_.string(), listed.line,
                    "cannot read " + listed.path + ": " + unreadable.message());
  }
  entry.file = ParseComponentFile(bytes, entry.path.string());
  if (NeedsDesigner(listed.kind) && !entry.file.designer) {
    throw LoadError(entry.path.string(), 1,
                    "no designer block: a form file starts with its Begin VB.Form ... End block");
  }
  return entry;
}

void VbProject::AddEntry(ParsedEntry& parsed) {
  const ListedFile& listed = parsed.listed;
  const std::string vbp_name = path_.string();
  Entry entry{listed, nullptr, parsed.path, nullptr};
  // Two components on one file would each save over the other's edits.
  std::error_code canonical_error;
  fs::path same = fs::weakly_canonical(parsed.path, canonical_error);
  if (canonical_error) same = parsed.path.lexically_normal();
  if (const auto earlier = files_.find(same); earlier != files_.end()) {
    throw LoadError(vbp_name, listed.line,
                    listed.path + " is listed a second time (the first is on line " +
                        std::to_string(earlier->second) + ")");
  }
  files_.emplace(same, listed.line);
  try {
    if (!HoldsCode(listed.kind)) {
      entry.component =
          &project_->AddComponent(parsed.path.filename().string(), TypeOf(listed.kind, nullptr));
    } else {
      ParsedComponentFile& file = parsed.file;
      std::string name = file.vb_name;
      if (name.empty()) name = listed.name.empty() ? StemOf(parsed.path) : listed.name;
      if (const auto earlier = names_.find(LowerAscii(name)); earlier != names_.end()) {
        throw LoadError(vbp_name, listed.line,
                        "a second component named " + name + " (the first is on line " +
                            std::to_string(earlier->second) + ")");
      }
      names_.emplace(LowerAscii(name), listed.line);
      entry.component = &project_->AddComponent(name, TypeOf(listed.kind, file.designer.get()));
      if (file.designer) file.designer->AttachSideFiles(&side_files_, parsed.path);
    }
    entry.component->SetFileName(parsed.path.string());
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

void VbProject::Visit(SaveMode mode,
                      const std::function<void(const fs::path&, std::string)>& visit) {
  std::string vbp = vbp_.Render();
  if (mode == SaveMode::kAll || vbp != vbp_bytes_) visit(path_, std::move(vbp));
  for (Entry& entry : entries_) {
    if (!entry.image) continue;
    if (mode == SaveMode::kAll || HasChanged(*entry.image, *entry.component)) {
      visit(entry.path, RenderComponent(*entry.image, *entry.component));
    }
  }
  for (const fs::path& side_file : side_files_.ChangedFiles())
    visit(side_file, side_files_.Contents(side_file));
}

std::vector<VbProject::OutputFile> VbProject::SaveToMemory(SaveMode mode) {
  std::vector<OutputFile> files;
  Visit(mode, [&](const fs::path& path, std::string bytes) {
    files.push_back({path, std::move(bytes)});
  });
  return files;
}

std::vector<fs::path> VbProject::Save(SaveMode mode, const KeepFile& keep) {
  const std::string journal = JournalPath();
  const FolderLock lock(fs::path(journal).parent_path().string());
  FileTransaction transaction(journal);
  std::vector<fs::path> written;
  try {
    std::string vbp = vbp_.Render();
    if ((mode == SaveMode::kAll || vbp != vbp_bytes_) && (!keep || keep(path_))) {
      transaction.Stage(path_.string(), vbp);
      written.push_back(path_);
    }
    // Components are rendered and written side by side; each touches only its own objects.
    std::vector<Entry*> changed;
    for (Entry& entry : entries_) {
      if (entry.image && (mode == SaveMode::kAll || HasChanged(*entry.image, *entry.component)) &&
          (!keep || keep(entry.path)))
        changed.push_back(&entry);
    }
    ForEachInParallel(changed.size(), [&](std::size_t i) {
      transaction.Stage(changed[i]->path.string(),
                        RenderComponent(*changed[i]->image, *changed[i]->component));
    });
    for (const Entry* entry : changed) written.push_back(entry->path);
    for (const fs::path& side_file : side_files_.ChangedFiles()) {
      if (keep && !keep(side_file)) continue;
      transaction.Stage(side_file.string(), side_files_.Contents(side_file));
      written.push_back(side_file);
    }
    transaction.Commit();
  } catch (const TransactionError& error) {
    if (error.read_only().empty()) throw SaveError(error.what());
    std::string files;
    for (const std::string& file : error.read_only()) files += (files.empty() ? "" : ", ") + file;
    throw SaveError(path_.string() +
                    ": nothing was saved: read-only files are left as they are: " + files);
  }
  MarkAllSaved();
  return written;
}

std::string VbProject::JournalPath() const {
  std::error_code error;
  fs::path real = fs::weakly_canonical(path_, error);
  return JournalBeside(error ? path_.string() : real.string());
}

void VbProject::RecoverInterruptedSave() {
  const std::string journal = JournalPath();
  const Recovery recovery = RecoverInterrupted(journal);
  if (!recovery.problems.empty()) {
    std::string problems;
    for (const std::string& problem : recovery.problems) problems += "; " + problem;
    throw LoadError(path_.string(), 0,
                    "a save was interrupted and cannot be finished" + problems + " (the journal " +
                        journal + " is kept; mend the cause and run again)");
  }
  const std::string count =
      std::to_string(recovery.files) + " file" + (recovery.files == 1 ? "" : "s");
  if (recovery.outcome == Recovery::Outcome::kCompleted) {
    notices_.push_back(path_.string() + ": completed a save that was interrupted: " + count +
                       " now hold their new contents");
  } else if (recovery.outcome == Recovery::Outcome::kRolledBack) {
    notices_.push_back(path_.string() + ": finished undoing a save that failed: " + count +
                       " hold their old contents");
  }
}

void VbProject::RemoveStrayTemporaries() {
  std::vector<std::string> files{path_.string(), JournalPath()};
  for (const Entry& entry : entries_) files.push_back(entry.path.string());
  const std::size_t removed = host::RemoveStrayTemporaries(files);
  if (removed > 0) {
    notices_.push_back(path_.string() + ": removed " + std::to_string(removed) + " temporary file" +
                       (removed == 1 ? "" : "s") +
                       " left by a save that was interrupted; the files it was saving kept their "
                       "old contents");
  }
}

void VbProject::ForEachRendered(
    const std::function<void(const fs::path&, const std::string&)>& visit) {
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

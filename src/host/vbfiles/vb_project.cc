#include "host/vbfiles/vb_project.h"

#include <algorithm>
#include <optional>

#include "host/files/file_transaction.h"
#include "host/text/quote.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/code_page.h"
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

bool IsUtf8Ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The project file's text, to tell its code page by: its lines without padding NULs.
std::string ProjectText(const VbpFile& vbp) {
  std::string text;
  for (const SourceLine& line : vbp.lines) {
    for (char c : line.text) {
      if (c != '\0') text += c;
    }
    text += '\n';
  }
  return text;
}

// Forms, user controls, property pages and user documents cannot exist without their designer.
bool NeedsDesigner(ListedKind kind) {
  return kind == ListedKind::kForm || kind == ListedKind::kUserControl ||
         kind == ListedKind::kPropertyPage || kind == ListedKind::kUserDocument;
}

}  // namespace

VbProject::~VbProject() = default;

std::unique_ptr<VbProject> VbProject::Load(const fs::path& vbp_path, const LoadOptions& options) {
  return LoadFrom(vbp_path, nullptr, options);
}

std::unique_ptr<VbProject> VbProject::Load(const fs::path& vbp_path, std::string vbp_bytes,
                                           const LoadOptions& options) {
  return LoadFrom(vbp_path, &vbp_bytes, options);
}

std::unique_ptr<VbProject> VbProject::LoadFrom(const fs::path& vbp_path,
                                               const std::string* vbp_bytes,
                                               const LoadOptions& options) {
  std::unique_ptr<VbProject> project(new VbProject());
  project->path_ = vbp_path;
  // Another run's save must not go on while this one reads, or clears what a killed one left.
  const FolderLock lock(fs::path(project->JournalPath()).parent_path().string());
  project->RecoverInterruptedSave();
  project->options_ = options;
  project->vbp_bytes_ = vbp_bytes != nullptr ? *vbp_bytes : ReadFileBytes(vbp_path);
  project->vbp_ = VbpFile::Parse(project->vbp_bytes_, vbp_path.string());
  project->code_pages_ = CodePagesToTry(ProjectText(project->vbp_), options.code_page);
  const std::string name =
      project->vbp_.project_name.empty() ? StemOf(vbp_path) : project->vbp_.project_name;
  project->owned_ = std::make_unique<MemoryProject>(name, vbp_path.string());
  project->project_ = project->owned_.get();
  // Files are read and parsed side by side; the model is then built in the project's order.
  const std::vector<ListedFile>& files = project->vbp_.files;
  std::vector<ParsedEntry> parsed(files.size());
  ForEachInParallel(files.size(),
                    [&](std::size_t i) { parsed[i] = project->ParseEntry(files[i]); });
  std::vector<ParsedEntry*> added;
  for (ParsedEntry& entry : parsed) {
    if (project->AddEntry(entry)) added.push_back(&entry);
  }
  // Each component's code and attributes go into its own objects: side by side again.
  ForEachInParallel(added.size(), [&](std::size_t i) {
    Entry& entry = project->entries_[i];
    if (!HoldsCode(entry.listed.kind)) return;
    entry.image = std::make_unique<ComponentImage>(
        Install(std::move(added[i]->file), entry.path, *entry.component));
  });
  for (const VbpReference& reference : project->vbp_.references)
    project->project_->AddReference(reference.reference);
  project->RemoveStrayTemporaries();
  return project;
}

std::string VbProject::DisplayName(std::string_view listed) const {
  return vbfiles::DisplayName(listed, code_pages_);
}

fs::path VbProject::Resolve(const ListedFile& listed) const {
  const fs::path base = path_.parent_path();
  fs::path found = ResolveListedPath(base, listed.path);
  if (!found.empty() || IsUtf8Ascii(listed.path)) return found;
  for (int page : code_pages_) {
    const std::optional<std::string> decoded = DecodeCodePage(listed.path, page);
    if (!decoded || *decoded == listed.path) continue;
    found = ResolveListedPath(base, *decoded);
    if (!found.empty()) return found;
  }
  return {};
}

VbProject::ParsedEntry VbProject::ParseEntry(const ListedFile& listed) const {
  ParsedEntry entry{listed, Resolve(listed), {}};
  // Documents and resources are only carried along: one that is missing stops nothing.
  if (!HoldsCode(listed.kind)) return entry;
  if (entry.path.empty()) {
    throw LoadError(path_.string(), listed.line,
                    "listed file not found: " + DisplayName(listed.path));
  }
  std::error_code error;
  if (fs::equivalent(entry.path, path_, error)) {
    throw LoadError(path_.string(), listed.line, "the project file lists itself");
  }
  std::string bytes;
  try {
    bytes = ReadFileBytes(entry.path);
  } catch (const LoadError& unreadable) {
    throw LoadError(path_.string(), listed.line,
                    "cannot read " + DisplayName(listed.path) + ": " + unreadable.message());
  }
  entry.file = ParseComponentFile(bytes, entry.path.string());
  if (NeedsDesigner(listed.kind) && !entry.file.designer) {
    throw LoadError(entry.path.string(), 1,
                    "no designer block: a form file starts with its Begin VB.Form ... End block");
  }
  return entry;
}

// Related documents and resource files are named after their file; two of one name in different
// folders are told apart by the path the project gives.
MemoryComponent& VbProject::AddNonCode(const ParsedEntry& parsed) {
  const std::string& listed = parsed.listed.path;
  std::string name = parsed.path.filename().string();
  if (parsed.path.empty()) name = listed.substr(listed.find_last_of("\\/") + 1);
  const ComponentType type = TypeOf(parsed.listed.kind, nullptr);
  if (!name.empty()) {
    try {
      return project_->AddComponent(name, type);
    } catch (const HostError&) {
      // a component of that name exists: the listed path is unique among files not yet listed
    }
  }
  return project_->AddComponent(listed, type);
}

bool VbProject::AddEntry(ParsedEntry& parsed) {
  const ListedFile& listed = parsed.listed;
  const std::string vbp_name = path_.string();
  Entry entry{listed, nullptr, parsed.path, nullptr};
  // Two components on one file would each save over the other's edits. A file listed twice
  // under one name (projects merged by hand) is one component: both lines stay as written.
  fs::path same;
  if (!parsed.path.empty()) {
    std::error_code canonical_error;
    same = fs::weakly_canonical(parsed.path, canonical_error);
    if (canonical_error) same = parsed.path.lexically_normal();
  } else {
    same = fs::path("missing:" + LowerAscii(listed.path));
  }
  const std::string listed_name = LowerAscii(listed.name);
  if (const auto earlier = files_.find(same); earlier != files_.end()) {
    const std::string first = std::to_string(earlier->second.line);
    if (earlier->second.name != listed_name) {
      throw LoadError(vbp_name, listed.line,
                      DisplayName(listed.path) + " is listed a second time under another name " +
                          "(the first is on line " + first + ")");
    }
    if (options_.warn) {
      options_.warn({vbp_name, listed.line,
                     DisplayName(listed.path) + " is listed a second time (the first is on line " +
                         first + "): loaded once"});
    }
    return false;
  }
  files_.emplace(same, FirstListing{listed.line, listed_name});
  try {
    if (!HoldsCode(listed.kind)) {
      entry.component = &AddNonCode(parsed);
    } else {
      ParsedComponentFile& file = parsed.file;
      std::string name = file.vb_name;
      if (name.empty()) name = listed.name.empty() ? StemOf(parsed.path) : listed.name;
      if (const auto earlier = names_.find(LowerAscii(name)); earlier != names_.end()) {
        throw LoadError(vbp_name, listed.line,
                        "a second component named " + QuoteInput(name) + " (the first is on line " +
                            std::to_string(earlier->second) + ")");
      }
      names_.emplace(LowerAscii(name), listed.line);
      entry.component = &project_->AddComponent(name, TypeOf(listed.kind, file.designer.get()));
      if (file.designer) file.designer->AttachSideFiles(&side_files_, parsed.path);
    }
    if (!parsed.path.empty()) entry.component->SetFileName(parsed.path.string());
  } catch (const HostError& error) {
    throw LoadError(vbp_name, listed.line, QuoteInput(error.what()));
  }
  entries_.push_back(std::move(entry));
  return true;
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

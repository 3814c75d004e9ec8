// A VB6 project on disk, loaded into the in-memory host and written back.
//
// Load() reads the .vbp and every file it lists into a MemoryProject (code, attributes,
// designers) and keeps, per file, what is needed to write it back in the IDE's layout. Save()
// rewrites only what changed, all files as one transaction (host/files/file_transaction.h): after
// a failure or a kill every file holds its old contents or every file its new ones. Load()
// finishes a save that was interrupted, or removes what it left, before reading. A project saved
// without a change is left alone, and rendering any file of an unchanged project gives its bytes
// back.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/vbfiles/component_file.h"
#include "host/vbfiles/side_files.h"
#include "host/vbfiles/vbp_file.h"

namespace marquill::host::vbfiles {

class VbProject {
 public:
  // LoadError "FILE:LINE: ..." for a missing listed file, a line that cannot be read, a binary
  // file or a block that never closes, or an interrupted save that cannot be completed.
  static std::unique_ptr<VbProject> Load(const std::filesystem::path& vbp_path);
  // The same with the project file's text given: a project made up for files that no .vbp
  // lists. Listed paths are taken relative to `vbp_path`'s folder.
  static std::unique_ptr<VbProject> Load(const std::filesystem::path& vbp_path,
                                         std::string vbp_bytes);
  ~VbProject();

  MemoryProject& Project() { return *project_; }
  const std::filesystem::path& Path() const { return path_; }
  const VbpFile& Vbp() const { return vbp_; }
  // What the load did besides reading, for the user ("FILE: message" lines without the program's
  // name): an interrupted save completed or cleared away.
  const std::vector<std::string>& Notices() const { return notices_; }

  // Hands the project to `vbe` and makes it the active one. This object goes on writing it, so
  // it must not outlive `vbe`.
  MemoryProject& AttachTo(MemoryVbe& vbe);

  enum class SaveMode {
    kChanged,  // files whose contents changed since loading (or the last save)
    kAll,      // every file the project writes, changed or not
  };

  struct OutputFile {
    std::filesystem::path path;
    std::string bytes;
  };

  // What Save() would write, without writing it.
  std::vector<OutputFile> SaveToMemory(SaveMode mode = SaveMode::kChanged);
  // Writes the files (those `keep` accepts, when given) and returns their paths. SaveError when
  // a file cannot be written or is read-only; then no file has been replaced.
  using KeepFile = std::function<bool(const std::filesystem::path&)>;
  std::vector<std::filesystem::path> Save(SaveMode mode = SaveMode::kChanged,
                                          const KeepFile& keep = {});

  // Each file the project writes, rendered one at a time (keeps memory flat for large projects):
  // the .vbp, then every text component in the project's order. The callback gets the path and
  // the bytes the file would hold now.
  void ForEachRendered(
      const std::function<void(const std::filesystem::path&, const std::string&)>& visit);

  // The component loaded from a listed file, and its file image; nullptr for files without code.
  struct Entry {
    ListedFile listed;
    MemoryComponent* component = nullptr;
    std::filesystem::path path;
    std::unique_ptr<ComponentImage> image;  // nullptr for resources and related documents
  };
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  VbProject() = default;
  // `vbp_bytes` is the project file's text, or nullptr to read it.
  static std::unique_ptr<VbProject> LoadFrom(const std::filesystem::path& vbp_path,
                                             const std::string* vbp_bytes);
  struct ParsedEntry {
    ListedFile listed;
    std::filesystem::path path;
    ParsedComponentFile file;  // empty for files without code
  };
  ParsedEntry ParseEntry(const ListedFile& listed) const;
  // Adds the component (in the project's order); its code is installed afterwards.
  void AddEntry(ParsedEntry& parsed);
  // Visits every file to write in `mode`, with a flag telling whether it changed.
  void Visit(SaveMode mode,
             const std::function<void(const std::filesystem::path&, std::string)>& visit);
  void MarkAllSaved();
  // The journal of this project's saves, beside the project file, and its folder.
  std::string JournalPath() const;
  void RecoverInterruptedSave();
  void RemoveStrayTemporaries();

  std::filesystem::path path_;
  VbpFile vbp_;
  std::string vbp_bytes_;  // as loaded or last saved
  std::unique_ptr<MemoryProject> owned_;
  MemoryProject* project_ = nullptr;
  std::vector<Entry> entries_;
  std::map<std::string, int> names_;            // lower-case component name -> its line in the .vbp
  std::map<std::filesystem::path, int> files_;  // each listed file, found on disk -> its line
  SideFiles side_files_;
  std::vector<std::string> notices_;
};

}  // namespace marquill::host::vbfiles

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
#include <string_view>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/vbfiles/component_file.h"
#include "host/vbfiles/side_files.h"
#include "host/vbfiles/vbp_file.h"

namespace marquill::host::vbfiles {

// Something a load got past that the user should know of.
struct LoadWarning {
  std::string file;
  int line = 0;
  std::string message;
};

struct LoadOptions {
  // The ANSI code page the project's file names are written in; 0: the common ones are tried.
  int code_page = 0;
  // Told of each warning as it is found; warnings are dropped when empty.
  std::function<void(const LoadWarning&)> warn;
};

class VbProject {
 public:
  // LoadError "FILE:LINE: ..." for a missing file of code (a related document or resource file
  // may be missing), a line that cannot be read, a binary file, a block that never closes, a
  // project file that lists itself, two components of one name, or an interrupted save that
  // cannot be completed.
  static std::unique_ptr<VbProject> Load(const std::filesystem::path& vbp_path,
                                         const LoadOptions& options = {});
  // The same with the project file's text given: a project made up for files that no .vbp
  // lists. Listed paths are taken relative to `vbp_path`'s folder.
  static std::unique_ptr<VbProject> Load(const std::filesystem::path& vbp_path,
                                         std::string vbp_bytes, const LoadOptions& options = {});
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
    std::filesystem::path path;             // empty when the file is missing
    std::unique_ptr<ComponentImage> image;  // nullptr for resources and related documents
  };
  const std::vector<Entry>& Entries() const { return entries_; }

  // A listed name as a message shows it: decoded from the project's code page when it is not
  // UTF-8, control bytes escaped.
  std::string DisplayName(std::string_view listed) const;

 private:
  VbProject() = default;
  // `vbp_bytes` is the project file's text, or nullptr to read it.
  static std::unique_ptr<VbProject> LoadFrom(const std::filesystem::path& vbp_path,
                                             const std::string* vbp_bytes,
                                             const LoadOptions& options);
  struct ParsedEntry {
    ListedFile listed;
    std::filesystem::path path;
    ParsedComponentFile file;  // empty for files without code
  };
  ParsedEntry ParseEntry(const ListedFile& listed) const;
  std::filesystem::path Resolve(const ListedFile& listed) const;
  // Adds the component (in the project's order); its code is installed afterwards. False when
  // the file was listed before under the same name: it is loaded once.
  bool AddEntry(ParsedEntry& parsed);
  MemoryComponent& AddNonCode(const ParsedEntry& parsed);
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
  std::map<std::string, int> names_;  // lower-case component name -> its line in the .vbp
  struct FirstListing {
    int line;
    std::string name;  // the name before "; ", lower case
  };
  std::map<std::filesystem::path, FirstListing> files_;  // each listed file, found on disk
  std::vector<int> code_pages_;  // to try on names that name no file as written
  LoadOptions options_;
  SideFiles side_files_;
  std::vector<std::string> notices_;
};

}  // namespace marquill::host::vbfiles

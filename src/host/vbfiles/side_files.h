// The binary side files of designers (.frx, .ctx, .pgx, .dox, .dsx): read when a property stored
// there is asked for, appended to when a picture is assigned, and copied as they are otherwise.
//
// A picture is stored as a record: a 4-byte length n + 8, the bytes "lt\0\0", a 4-byte length n,
// then the image file's n bytes. Assigning a picture appends a new record and points the property
// at it; the old record stays in the file unused, so every other offset stays valid.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::host::vbfiles {

class SideFiles {
 public:
  // The record at `offset` of `path`: a picture's image bytes. HostError when the file is
  // missing or the record runs past its end.
  std::string ReadPicture(const std::filesystem::path& path, std::uint32_t offset);
  // A long text stored for a `$"file":offset` property.
  std::string ReadText(const std::filesystem::path& path, std::uint32_t offset);
  // Appends a picture record (creating the file when there is none); returns its offset.
  std::uint32_t AppendPicture(const std::filesystem::path& path, std::string_view image);

  // Side files changed since loading (or since MarkSaved), with their new contents.
  std::vector<std::filesystem::path> ChangedFiles() const;
  const std::string& Contents(const std::filesystem::path& path);
  void MarkSaved();

  // The record format, for tests and tools.
  static std::string PictureRecord(std::string_view image);

 private:
  struct File {
    std::string bytes;
    bool changed = false;
  };
  File& Load(const std::filesystem::path& path, bool create);

  std::map<std::filesystem::path, File> files_;
};

}  // namespace marquill::host::vbfiles

// Helpers of the project-file tests: a scratch folder, and files written and read as bytes.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace marquill::host::vbfiles::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "marquill-vbfiles-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Joins lines with CR LF after each, as the IDE writes files.
inline std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

inline std::filesystem::path SourceDir() { return MARQUILL_SOURCE_DIR; }

// Copies a folder of the source tree, so tests may change it.
inline std::filesystem::path CopyTree(const std::filesystem::path& from, const ScratchDir& scratch,
                                      std::string_view name) {
  const std::filesystem::path to = scratch / name;
  std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
  return to;
}

}  // namespace marquill::host::vbfiles::testing

// Helpers of the project-file tests: a scratch folder, and files written and read as bytes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "support/files.h"

namespace marquill::host::vbfiles::testing {

using ScratchDir = ::marquill::test::TempDir;
using ::marquill::test::ReadBytes;
using ::marquill::test::WriteBytes;

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

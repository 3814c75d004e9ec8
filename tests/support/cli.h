// Running the command line in-process, and a scratch copy of the sample project to run it on.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "support/files.h"

namespace marquill::test {

struct CliResult {
  int code = 0;
  std::string out;
  std::string err;
};

// Runs `marquill ARGS...` in-process, with `input` on standard input.
inline CliResult RunMarquill(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), "marquill");
  std::vector<const char*> argv;
  for (const auto& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  std::istringstream in(input);
  cli::CliContext context{out, err, in};
  CliResult result;
  result.code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), context);
  result.out = out.str();
  result.err = err.str();
  return result;
}

using FileMap = std::map<std::string, std::string>;

// The regular files directly in `root` by name; none when it does not exist.
inline FileMap FilesIn(const std::filesystem::path& root) {
  FileMap files;
  if (!std::filesystem::exists(root)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(root)) {
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadBytes(entry.path());
  }
  return files;
}

inline const std::filesystem::path kSourceDir = MARQUILL_SOURCE_DIR;
inline const std::filesystem::path kSamples = kSourceDir / "samples";

// A copy of the sample project in project/, with an empty add-in folder in addin/ and the
// settings under config/, all in a scratch folder of its own.
class SampleProjectTest : public testing::Test {
 protected:
  explicit SampleProjectTest(std::string_view tag = "cli")
      : scratch_(tag), work_(scratch_.path()) {}

  void SetUp() override {
    std::filesystem::create_directories(work_ / "addin");
    std::filesystem::copy(kSamples, work_ / "project", std::filesystem::copy_options::recursive);
    ::setenv("MARQUILL_HOME", (work_ / "addin").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (work_ / "config").c_str(), 1);
    before_ = FilesIn(work_ / "project");
  }

  std::filesystem::path Vbp() const { return work_ / "project" / "Marquill.vbp"; }

  // Runs `marquill ARGS...` where "{P}" is the project and a leading "{W}" the scratch folder.
  CliResult RunWithPlaces(std::vector<std::string> args) const {
    for (std::string& arg : args) {
      if (arg == "{P}") arg = Vbp().string();
      if (arg.starts_with("{W}")) arg = work_.string() + arg.substr(3);
    }
    return RunMarquill(std::move(args));
  }

  // The project's files that differ from the sample.
  FileMap Changed() const {
    FileMap changed;
    for (const auto& [file, bytes] : FilesIn(work_ / "project")) {
      const auto was = before_.find(file);
      if (was == before_.end() || was->second != bytes) changed[file] = bytes;
    }
    return changed;
  }

  // The project's changed files are exactly those under `case_dir`/expected, byte for byte.
  void ExpectChangedAsIn(const std::filesystem::path& case_dir) const {
    const FileMap expected = FilesIn(case_dir / "expected");
    const FileMap changed = Changed();
    for (const auto& [file, bytes] : expected) {
      ASSERT_TRUE(changed.count(file)) << file << " was not changed";
      EXPECT_TRUE(changed.at(file) == bytes) << file << " differs from the window's result";
    }
    EXPECT_EQ(changed.size(), expected.size());
  }

  TempDir scratch_;
  std::filesystem::path work_;
  FileMap before_;
};

}  // namespace marquill::test

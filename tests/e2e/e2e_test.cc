// End-to-end cases: `marquill run`, or one other command, on a copy of a project, compared with
// the expected files.
//
// Every folder below tests/e2e/ that holds a `script.mqs` or a `command` is one case (see
// README.md there).
// MARQUILL_UPDATE_GOLDEN=1 rewrites each case's expectations from what the run produced, for
// review with `git diff`.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "host/store/connection.h"

namespace marquill::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kCasesRoot = fs::path(MARQUILL_SOURCE_DIR) / "tests" / "e2e";
const fs::path kSamples = fs::path(MARQUILL_SOURCE_DIR) / "samples";

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

bool UpdateGolden() {
  const char* update = std::getenv("MARQUILL_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

// Every regular file below `root`, by its path relative to it, with its bytes.
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = Read(entry);
  }
  return files;
}

std::vector<fs::path> Cases() {
  std::vector<fs::path> cases;
  for (const auto& entry : fs::recursive_directory_iterator(kCasesRoot)) {
    const fs::path name = entry.path().filename();
    if (entry.is_regular_file() && (name == "script.mqs" || name == "command")) {
      cases.push_back(entry.path().parent_path());
    }
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

std::string CaseName(const fs::path& folder) {
  std::string name = fs::relative(folder, kCasesRoot).string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

std::vector<std::string> Args(const fs::path& folder) {
  std::vector<std::string> args;
  std::istringstream in(Read(folder / "args"));
  for (std::string arg; in >> arg;) args.push_back(arg);
  return args;
}

// Runs the case's statements against the database of the add-in folder before the run.
void SeedDatabase(const fs::path& folder, const fs::path& addin_folder) {
  if (!fs::exists(folder / "addin.sql")) return;
  host::Connection connection;
  connection.Open(addin_folder / "Marquill.mdb");
  std::istringstream statements(Read(folder / "addin.sql"));
  for (std::string line; std::getline(statements, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '-') connection.Execute(line);
  }
}

// Every row a query of the add-in database returns, one a line, fields between "|" with line
// breaks written as \r\n: for cases that check which settings or shortcuts a run left.
std::string TableRows(const fs::path& addin_folder, std::string_view query) {
  host::Connection connection;
  connection.Open(addin_folder / "Marquill.mdb");
  host::Recordset rows;
  rows.Open(query, connection);
  std::string text;
  for (; !rows.Eof(); rows.MoveNext()) {
    for (int c = 0; c < rows.FieldCount(); ++c) {
      std::string field = rows.Field(c).Text();
      ReplaceAll(field, "\r\n", "\\r\\n");
      text += (c == 0 ? "" : "|") + field;
    }
    text += "\n";
  }
  return text;
}

struct RunResult {
  int code = 0;
  std::string out;
  std::string err;
};

class E2eTest : public testing::TestWithParam<fs::path> {
 protected:
  void SetUp() override {
    work_ = fs::temp_directory_path() /
            ("marquill-e2e-" + std::to_string(getpid()) + "-" + CaseName(GetParam()));
    fs::remove_all(work_);
    fs::create_directories(work_);
    fs::path input = fs::exists(GetParam() / "project") ? GetParam() / "project" : kSamples;
    fs::copy(input, work_ / "project", fs::copy_options::recursive);
    fs::create_directories(work_ / "addin");
    setenv("MARQUILL_HOME", (work_ / "addin").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (work_ / "config").c_str(), 1);
    // Help and reports must not open a browser on the desktop running the tests.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    before_ = Files(work_ / "project");
    SetEnvironment();
    // Files named in answers (an icon to pick) are found in the case folder; a command names
    // the project copy as it is named from the work folder.
    cwd_ = fs::current_path();
    fs::current_path(IsCommand() ? work_ : GetParam());
  }
  bool IsCommand() const { return fs::exists(GetParam() / "command"); }
  std::string Placed(std::string text) const {
    ReplaceAll(text, "<work>", work_.string());
    ReplaceAll(text, "<case>", GetParam().string());
    return text;
  }
  // The case's `env` lines, NAME=VALUE, with <work> and <case> standing for those folders.
  void SetEnvironment() {
    std::istringstream lines(Read(GetParam() / "env"));
    for (std::string line; std::getline(lines, line);) {
      const std::size_t equals = line.find('=');
      if (equals == std::string::npos) continue;
      const std::string value = Placed(line.substr(equals + 1));
      const std::string name = line.substr(0, equals);
      setenv(name.c_str(), value.c_str(), 1);
      set_names_.push_back(name);
    }
  }

  void TearDown() override {
    for (const std::string& name : set_names_) unsetenv(name.c_str());
    fs::current_path(cwd_);
    fs::remove_all(work_);
  }

  fs::path Project() const {
    for (const auto& entry : fs::directory_iterator(work_ / "project")) {
      if (entry.path().extension() == ".vbp") return entry.path();
    }
    return work_ / "project" / "missing.vbp";
  }

  // The script with `marquill run`, or the case's one command.
  RunResult RunCase() {
    std::vector<std::string> args = {"marquill"};
    if (IsCommand()) {
      std::istringstream words(Read(GetParam() / "command"));
      for (std::string word; words >> word;) args.push_back(Placed(word));
    } else {
      args.insert(args.end(), {"run", "--quiet"});
      for (const std::string& arg : Args(GetParam())) args.push_back(arg);
      args.push_back((GetParam() / "script.mqs").string());
      args.push_back(Project().string());
    }
    std::vector<const char*> argv;
    for (const auto& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    std::istringstream in;
    cli::CliContext context{out, err, in};
    RunResult run;
    run.code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), context);
    run.out = Placeless(out.str());
    run.err = Placeless(err.str());
    return run;
  }

  // Temporary and source paths read as <project>, <work> and <case>, so expectations are
  // portable.
  std::string Placeless(std::string text) const {
    // Diffs name a file outside the current folder by its absolute path without the slash.
    ReplaceAll(text, "a" + (work_ / "project").string(), "a/<project>");
    ReplaceAll(text, "b" + (work_ / "project").string(), "b/<project>");
    ReplaceAll(text, (work_ / "project").string(), "<project>");
    ReplaceAll(text, work_.string(), "<work>");
    ReplaceAll(text, GetParam().string(), "<case>");
    // The time the summary line gives varies from run to run.
    return std::regex_replace(text, std::regex(", [0-9]+\\.[0-9] s\n"), ", <seconds> s\n");
  }

  void Expect(const std::string& file, const std::string& actual, const std::string& absent) {
    fs::path path = GetParam() / file;
    if (UpdateGolden()) {
      if (actual != absent) {
        Write(path, actual);
      } else {
        fs::remove(path);
      }
      return;
    }
    std::string expected = fs::exists(path) ? Read(path) : absent;
    EXPECT_EQ(actual, expected) << "in " << file;
  }

  fs::path work_;
  fs::path cwd_;
  std::map<std::string, std::string> before_;
  std::vector<std::string> set_names_;
};

TEST_P(E2eTest, RunsAsExpected) {
  SeedDatabase(GetParam(), work_ / "addin");
  RunResult run = RunCase();
  Expect("exit_code", std::to_string(run.code) + "\n", "0\n");
  Expect("stdout", run.out, "");
  Expect("stderr", run.err, "");
  if (fs::exists(GetParam() / "comments")) {
    Expect("comments", TableRows(work_ / "addin", "SELECT * FROM Comments"), "");
  }
  if (fs::exists(GetParam() / "shortcuts")) {
    Expect("shortcuts",
           TableRows(work_ / "addin", "SELECT ShortcutName, ShortcutContent FROM Shortcuts"), "");
  }

  std::map<std::string, std::string> after = Files(work_ / "project");
  fs::path expected_folder = GetParam() / "expected";
  if (UpdateGolden()) {
    fs::remove_all(expected_folder);
    for (const auto& [file, bytes] : after) {
      if (before_[file] != bytes) Write(expected_folder / file, bytes);
    }
    return;
  }
  std::map<std::string, std::string> expected = Files(expected_folder);
  for (const auto& [file, bytes] : after) {
    auto it = expected.find(file);
    const std::string& want = it != expected.end() ? it->second : before_[file];
    EXPECT_TRUE(bytes == want) << file
                               << (it != expected.end() ? " differs from expected/" + file
                                                        : " changed but should not have");
  }
  for (const auto& [file, bytes] : expected) {
    EXPECT_TRUE(after.count(file) != 0) << "expected/" << file << " was not written";
  }
  for (const auto& [file, bytes] : before_) {
    EXPECT_TRUE(after.count(file) != 0) << file << " vanished";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, E2eTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<fs::path>& row) {
                           return CaseName(row.param);
                         });

}  // namespace
}  // namespace marquill::e2e

// Header comments on a module built from the input. Byte 0 sets the switches (bit 0 module
// header, bit 1 member headers, bit 2 the member line, bit 3 delimiters), byte 1 the delimiter
// count. The rest is the module's text; every method, property and event it declares is ticked.
// Nothing crashes or hangs, and afterwards:
//   - the module's lines before the command are still there, in order;
//   - every added line is a comment (the settings' texts all start with an apostrophe);
//   - each member header added has exactly one "description:" line, and there are as many as
//     the command says it inserted (the module header apart);
//   - the module reads back whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "docs/header_comments.h"
#include "fuzz/fuzz_check.h"
#include "host/memory/memory_host.h"

using marquill::fuzz::Require;
namespace docs = marquill::docs;
namespace host = marquill::host;

namespace {

constexpr std::size_t kHeaderSize = 2;

std::vector<std::string> Texts(const host::MemoryCodeModule& module) {
  std::vector<std::string> texts;
  for (const host::SourceLine& line : module.AllLines()) texts.push_back(line.text);
  return texts;
}

docs::CommentSettings SettingsFrom(std::uint8_t switches, std::uint8_t count) {
  docs::CommentSettings settings;
  settings.module_comments = (switches & 1) != 0;
  settings.standard_comments = (switches & 2) != 0;
  settings.also = (switches & 4) != 0;
  settings.delimiters = (switches & 8) != 0;
  settings.delim = "-";
  settings.delim_count = std::to_string(count);
  settings.member_line = "' Revised:";
  settings.module_template = "' Module: Fuzz\r\n' Author: fuzz";
  return settings;
}

// The lines of `after` that are not `before`'s, matched greedily as a subsequence; Require fails
// when `before` is not one.
std::vector<std::string> AddedLines(const std::vector<std::string>& before,
                                    const std::vector<std::string>& after) {
  std::vector<std::string> added;
  std::size_t next = 0;
  for (const std::string& line : after) {
    if (next < before.size() && line == before[next]) {
      ++next;
    } else {
      added.push_back(line);
    }
  }
  Require(next == before.size(), "the module's lines are still there, in order");
  return added;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeaderSize) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + kHeaderSize,
                              size - kHeaderSize);
  host::MemoryProject project("Fuzz");
  host::MemoryComponent& component = project.AddComponent("Fuzz", host::ComponentType::kStdModule);
  host::MemoryCodeModule& module = component.SetCode(host::SplitSourceText(text));
  const docs::CommentSettings settings = SettingsFrom(data[0], data[1]);
  const std::vector<std::string> before = Texts(module);

  const std::vector<docs::HeaderMember> members = docs::HeaderCandidates(module);
  const int inserted = docs::InsertHeaders(module, members, settings);

  const std::vector<std::string> after = Texts(module);
  // A module that already held comment lines makes the greedy match ambiguous only in which copy
  // is the added one; every added line is still a comment.
  int descriptions = 0;
  for (const std::string& line : AddedLines(before, after)) {
    Require(!line.empty() && line.front() == '\'', "every added line is a comment");
    if (EndsWith(line, ") description:")) ++descriptions;
  }
  // The module header always goes in when switched on; the rest are member headers.
  const int module_header = settings.module_comments ? 1 : 0;
  Require(inserted >= module_header, "the module header is counted");
  bool held_description = false;
  for (const std::string& line : before) held_description |= EndsWith(line, ") description:");
  if (!held_description) {
    Require(descriptions == inserted - module_header,
            "one description line per member header inserted, none when they are off");
  }
  const std::vector<host::SourceLine> lines = module.AllLines();
  Require(static_cast<int>(lines.size()) == module.CountOfLines(), "every line is there to read");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Require(lines[i].text.find_first_of("\r\n") == std::string::npos, "a line holds no break");
  }
  return 0;
}

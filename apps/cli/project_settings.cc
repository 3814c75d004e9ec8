#include "cli/project_settings.h"

#include <system_error>

#include "cli/command_registry.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::cli {
namespace fs = std::filesystem;

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return std::string(value.substr(1, value.size() - 2));
  }
  return std::string(value);
}

void MergeFarther(SettingSections& nearer, const SettingSections& farther) {
  for (const auto& [section, values] : farther) {
    auto& merged = nearer[section];
    for (const auto& [key, value] : values) merged.emplace(key, value);
  }
}

}  // namespace

SettingSections ParseSettings(std::string_view text, const fs::path& file) {
  SettingSections sections;
  std::string section;
  int line_number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = host::LowerAscii(TrimBlanks(line.substr(1, line.size() - 2)));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || section.empty()) {
      throw CliError(
          kExitUsage, file.string(), line_number,
          section.empty() ? "a setting before the first [section]" : "expected 'key = value'");
    }
    std::string key = host::LowerAscii(TrimBlanks(line.substr(0, equals)));
    while (key.starts_with('-')) key.erase(0, 1);
    if (key.empty()) throw CliError(kExitUsage, file.string(), line_number, "a value without key");
    sections[section][key] = {Unquoted(TrimBlanks(line.substr(equals + 1))), file, line_number};
  }
  return sections;
}

std::map<std::string, SettingValue> ProjectSettings::For(std::string_view command) const {
  std::map<std::string, SettingValue> values;
  if (const auto own = sections.find(std::string(command)); own != sections.end())
    values = own->second;
  if (const auto common = sections.find(kCommonSection); common != sections.end()) {
    for (const auto& [key, value] : common->second) values.emplace(key, value);
  }
  return values;
}

const SettingValue* ProjectSettings::Find(std::string_view section, std::string_view key) const {
  const auto found = sections.find(std::string(section));
  if (found == sections.end()) return nullptr;
  const auto value = found->second.find(std::string(key));
  return value == found->second.end() ? nullptr : &value->second;
}

ProjectSettings FindProjectSettings(const fs::path& folder) {
  ProjectSettings settings;
  std::error_code error;
  fs::path here = fs::weakly_canonical(fs::absolute(folder, error), error);
  while (true) {
    const fs::path candidate = here / kSettingsFileName;
    if (fs::is_regular_file(candidate, error)) {
      std::string text;
      try {
        text = host::vbfiles::ReadFileBytes(candidate);
      } catch (const host::vbfiles::LoadError& unreadable) {
        throw CliError(kExitUsage, candidate.string(), 0, unreadable.message());
      }
      settings.files.push_back(candidate);
      MergeFarther(settings.sections, ParseSettings(text, candidate));
    }
    if (fs::exists(here / ".git", error) || !here.has_relative_path()) break;
    here = here.parent_path();
  }
  return settings;
}

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find_first_of(", \t", start);
    if (end == std::string_view::npos) end = value.size();
    if (end > start) items.emplace_back(value.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace marquill::cli

#include "shell/settings/settings_store.h"

#include <filesystem>
#include <system_error>

#include "host/files/file_io.h"

namespace marquill::shell {

namespace {

std::string Unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      char next = value[++i];
      if (next == 'r') {
        out += '\r';
      } else if (next == 'n') {
        out += '\n';
      } else if (next == '0') {
        break;  // a registry string ends at its first NUL
      } else {
        out += next;
      }
      continue;
    }
    out += c;
  }
  return out;
}

std::string Escape(std::string_view value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string_view StripCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

IniSections ParseIni(std::string_view text) {
  IniSections sections;
  bool in_section = false;
  std::string section_name;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = StripCr(text.substr(start, end - start));
    start = end + 1;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section_name = std::string(line.substr(1, line.size() - 2));
      sections[section_name];
      in_section = true;
      continue;
    }
    std::size_t equals = line.find('=');
    if (!in_section || equals == std::string_view::npos || equals == 0) continue;
    sections[section_name][std::string(line.substr(0, equals))] = Unescape(line.substr(equals + 1));
  }
  return sections;
}

std::string FormatIni(const IniSections& sections) {
  std::string out;
  for (const auto& [section, values] : sections) {
    if (!out.empty()) out += "\n";
    out += "[" + section + "]\n";
    for (const auto& [name, value] : values) out += name + "=" + Escape(value) + "\n";
  }
  return out;
}

IniSettingsStore::IniSettingsStore(std::string folder, std::function<void(const std::string&)> warn)
    : folder_(std::move(folder)), path_(folder_ + "settings.ini"), warn_(std::move(warn)) {}

// The file's text; nullopt when there is none to read. Anything there but a readable regular
// file makes the store keep to its defaults and leave the file alone.
std::optional<std::string> IniSettingsStore::ReadSettings() {
  if (unusable_) return std::nullopt;
  try {
    return host::ReadFile(path_);
  } catch (const host::ReadError& error) {
    if (error.code() == std::errc::no_such_file_or_directory) return std::nullopt;
    unusable_ = true;
    if (warn_) warn_("settings file " + error.reason() + ": ignored, defaults used");
    return std::nullopt;
  }
}

std::string IniSettingsStore::GetRegString(std::string_view key, std::string_view name) {
  std::optional<std::string> text = ReadSettings();
  if (!text) return "";
  IniSections sections = ParseIni(*text);
  auto section = sections.find(key);
  if (section == sections.end()) return "";
  auto value = section->second.find(std::string(name));
  return value == section->second.end() ? "" : value->second;
}

void IniSettingsStore::SaveRegString(std::string_view key, std::string_view name,
                                     std::string_view text) {
  // Names never hold '=' or a line break; a value cut at a NUL is what a registry keeps.
  if (name.empty() || name.find_first_of("=\r\n") != std::string_view::npos) return;
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  IniSections sections = ParseIni(ReadSettings().value_or(""));
  if (unusable_) return;
  std::string value(text.substr(0, text.find('\0')));
  sections[std::string(key)][std::string(name)] = value;
  try {
    host::WriteFileAtomically(path_, FormatIni(sections));
  } catch (const std::system_error&) {
    // The add-in ignores a failed settings write.
  }
}

std::string MemorySettingsStore::GetRegString(std::string_view key, std::string_view name) {
  auto section = sections_.find(key);
  if (section == sections_.end()) return "";
  auto value = section->second.find(std::string(name));
  return value == section->second.end() ? "" : value->second;
}

void MemorySettingsStore::SaveRegString(std::string_view key, std::string_view name,
                                        std::string_view text) {
  sections_[std::string(key)][std::string(name)] = std::string(text.substr(0, text.find('\0')));
}

}  // namespace marquill::shell

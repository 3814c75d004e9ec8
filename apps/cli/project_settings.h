// Project settings: `.marquill.ini` files that give the command options their defaults.
//
// The files are looked for in the target's folder and every folder above it, up to the
// repository root (the folder that holds `.git`) or the file system's root; a nearer file wins
// over a farther one, key by key. Sections are named like the commands (`[indent]`), and
// `[marquill]` holds what every command takes; keys are the long option names without dashes.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::cli {

inline constexpr const char* kSettingsFileName = ".marquill.ini";
inline constexpr const char* kCommonSection = "marquill";

struct SettingValue {
  std::string value;
  std::filesystem::path file;
  int line = 0;
};

// Section -> key -> value; section and key names in lower case.
using SettingSections = std::map<std::string, std::map<std::string, SettingValue>>;

// One settings file's text. CliError (exit 2) naming the file and line for a line that is not
// a section, a `key = value` pair, a comment (`;` or `#`) or blank.
SettingSections ParseSettings(std::string_view text, const std::filesystem::path& file);

struct ProjectSettings {
  std::vector<std::filesystem::path> files;  // nearest first
  SettingSections sections;

  // The values a command takes: `[marquill]`, overridden by the command's own section.
  std::map<std::string, SettingValue> For(std::string_view command) const;
  const SettingValue* Find(std::string_view section, std::string_view key) const;
};

// The settings in effect for a target in `folder`.
ProjectSettings FindProjectSettings(const std::filesystem::path& folder);

// A comma- or blank-separated list value (`exclude = build, old/*`).
std::vector<std::string> SplitList(std::string_view value);

}  // namespace marquill::cli

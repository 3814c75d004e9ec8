// String values kept between sessions under a key path, as the add-in keeps its window's tab
// and position. The file-backed store writes `settings.ini` in the settings folder: one section
// per key path, `Name=Value` lines, values as text.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace marquill::shell {

// Where the add-in keeps its values.
inline constexpr std::string_view kSettingsKey = "SOFTWARE\\Talvenor\\VBMarquill";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The value's text; "" when the key or value is missing or cannot be read.
  virtual std::string GetRegString(std::string_view key, std::string_view name) = 0;
  // Creates the key as needed and stores the text. Failures are ignored, as the add-in ignores
  // them: the next read gives whatever the store held before.
  virtual void SaveRegString(std::string_view key, std::string_view name,
                             std::string_view text) = 0;
};

// Sections of an ini text: section name -> (value name -> value).
using IniSections = std::map<std::string, std::map<std::string, std::string>, std::less<>>;

// Parses ini text. Values are unescaped (\\, \r, \n, \0); anything after a NUL is cut off, as a
// registry read stops at the first NUL. Lines that are neither a section nor Name=Value are
// ignored.
IniSections ParseIni(std::string_view text);
std::string FormatIni(const IniSections& sections);

class IniSettingsStore : public SettingsStore {
 public:
  // `folder` ends in the path separator; the folder is created at the first save. A settings
  // file that cannot be read (a FIFO or a device in its place, say) is ignored: defaults are
  // used, nothing is written over it, and `warn` is told once (of the reason, without the path).
  explicit IniSettingsStore(std::string folder,
                            std::function<void(const std::string&)> warn = nullptr);

  std::string GetRegString(std::string_view key, std::string_view name) override;
  void SaveRegString(std::string_view key, std::string_view name, std::string_view text) override;

  const std::string& Path() const { return path_; }

 private:
  std::optional<std::string> ReadSettings();

  std::string folder_;
  std::string path_;
  std::function<void(const std::string&)> warn_;
  bool unusable_ = false;  // warned once; never written
};

// Values kept in memory only.
class MemorySettingsStore : public SettingsStore {
 public:
  std::string GetRegString(std::string_view key, std::string_view name) override;
  void SaveRegString(std::string_view key, std::string_view name, std::string_view text) override;

  IniSections& Sections() { return sections_; }

 private:
  IniSections sections_;
};

}  // namespace marquill::shell

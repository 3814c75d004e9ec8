#include "host/paths/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace marquill::host {

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

namespace {

namespace fs = std::filesystem;

// Set and not empty: an empty variable counts as unset, as the XDG rules say.
std::optional<std::string> Setting(const EnvLookup& env, const char* name) {
  auto value = env(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

// The XDG rules also say a relative base directory is invalid and must be ignored.
std::optional<fs::path> XdgBase(const EnvLookup& env, const char* name) {
  const auto value = Setting(env, name);
  if (!value || !fs::path(*value).is_absolute()) return std::nullopt;
  return fs::path(*value);
}

fs::path HomeFolder(const EnvLookup& env) {
  if (const auto home = Setting(env, "HOME")) return *home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir) {
    return found->pw_dir;
  }
  throw PathError("cannot find the home folder; set MARQUILL_HOME");
}

// One separator at the end, however many the setting carried.
fs::path AsFolder(const fs::path& folder) {
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == fs::path::preferred_separator) text.pop_back();
  if (text.empty() || text.back() != fs::path::preferred_separator) {
    text += fs::path::preferred_separator;
  }
  return text;
}

}  // namespace

fs::path AddInFolder(const EnvLookup& env) {
  if (const auto home = Setting(env, "MARQUILL_HOME")) return AsFolder(fs::absolute(*home));
  if (const auto data = XdgBase(env, "XDG_DATA_HOME")) return AsFolder(*data / "marquill");
  return AsFolder(HomeFolder(env) / ".local" / "share" / "marquill");
}

fs::path SettingsFolder(const EnvLookup& env) {
  if (const auto config = XdgBase(env, "XDG_CONFIG_HOME")) return AsFolder(*config / "marquill");
  return AsFolder(HomeFolder(env) / ".config" / "marquill");
}

fs::path DatabaseFile(const EnvLookup& env) { return AddInFolder(env) / kDatabaseFileName; }

std::string DisplayPath(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::weakly_canonical(fs::absolute(path, error), error);
  const fs::path here = fs::weakly_canonical(fs::current_path(error), error);
  const fs::path relative = absolute.lexically_relative(here);
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return absolute.relative_path().generic_string();
}

}  // namespace marquill::host

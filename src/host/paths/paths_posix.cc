// The folders of a Linux or other POSIX system: the XDG base directories.
#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "host/paths/paths.h"

namespace marquill::host {

namespace {

namespace fs = std::filesystem;

// The XDG rules say a relative base directory is invalid and must be ignored.
std::optional<fs::path> XdgBase(const EnvLookup& env, const char* name) {
  const auto value = NonEmptySetting(env, name);
  if (!value || !fs::path(*value).is_absolute()) return std::nullopt;
  return fs::path(*value);
}

fs::path HomeFolder(const EnvLookup& env) {
  if (const auto home = NonEmptySetting(env, "HOME")) return *home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir) {
    return found->pw_dir;
  }
  throw PathError("cannot find the home folder; set MARQUILL_HOME");
}

}  // namespace

fs::path AddInFolder(const EnvLookup& env) {
  if (const auto home = NonEmptySetting(env, "MARQUILL_HOME")) return AsFolder(fs::absolute(*home));
  if (const auto data = XdgBase(env, "XDG_DATA_HOME")) return AsFolder(*data / "marquill");
  return AsFolder(HomeFolder(env) / ".local" / "share" / "marquill");
}

fs::path SettingsFolder(const EnvLookup& env) {
  if (const auto config = XdgBase(env, "XDG_CONFIG_HOME")) return AsFolder(*config / "marquill");
  return AsFolder(HomeFolder(env) / ".config" / "marquill");
}

}  // namespace marquill::host

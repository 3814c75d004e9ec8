#include "host/paths/paths.h"

#include <cstdlib>

namespace marquill::host {

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

namespace fs = std::filesystem;

std::optional<std::string> NonEmptySetting(const EnvLookup& env, const char* name) {
  auto value = env(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

fs::path AsFolder(const fs::path& folder) {
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == fs::path::preferred_separator) text.pop_back();
  if (text.empty() || text.back() != fs::path::preferred_separator) {
    text += static_cast<char>(fs::path::preferred_separator);
  }
  return text;
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

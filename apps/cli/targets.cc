#include "cli/targets.h"

#include <fnmatch.h>

#include <algorithm>
#include <set>
#include <system_error>

#include "cli/command_registry.h"
#include "host/paths/paths.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/text_file.h"

namespace marquill::cli {
namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const fs::path& path) {
  return host::LowerAscii(path.extension().string());
}

// The key that lists a component file of this extension in a project file.
std::string ListingKey(const fs::path& path) {
  const std::string extension = LowerExtension(path);
  if (extension == ".bas") return "Module";
  if (extension == ".cls") return "Class";
  if (extension == ".frm") return "Form";
  if (extension == ".ctl") return "UserControl";
  if (extension == ".pag") return "PropertyPage";
  if (extension == ".dob") return "UserDocument";
  if (extension == ".dsr") return "Designer";
  return "";
}

void FindProjects(const fs::path& folder, const std::vector<std::string>& excludes,
                  std::vector<ProjectTarget>& found) {
  std::error_code error;
  fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                        error);
  if (error) throw CliError(kExitUsage, folder.string(), 0, "cannot read the folder");
  for (auto it = walk; it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (error) throw CliError(kExitUsage, folder.string(), 0, "cannot read the folder");
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    const bool is_folder = it->is_directory(error);
    // Version-control and editor folders hold copies, not projects.
    const bool hidden_folder = is_folder && name.starts_with('.');
    if (hidden_folder ||
        Excluded(path.lexically_relative(folder).generic_string(), name, excludes)) {
      if (is_folder) it.disable_recursion_pending();
      continue;
    }
    if (!is_folder && LowerExtension(path) == ".vbp") found.push_back({TargetKind::kProject, path});
  }
}

}  // namespace

bool IsComponentFile(const fs::path& path) { return !ListingKey(path).empty(); }

bool Excluded(std::string_view relative_path, std::string_view name,
              const std::vector<std::string>& globs) {
  const std::string relative(relative_path);
  const std::string alone(name);
  return std::any_of(globs.begin(), globs.end(), [&](const std::string& glob) {
    return fnmatch(glob.c_str(), relative.c_str(), 0) == 0 ||
           fnmatch(glob.c_str(), alone.c_str(), 0) == 0;
  });
}

std::vector<fs::path> ReadProjectGroup(const fs::path& vbg) {
  std::string text;
  try {
    text = host::vbfiles::ReadFileBytes(vbg);
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, vbg.string(), 0, error.message());
  }
  std::vector<fs::path> projects;
  int line_number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    ++line_number;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = host::LowerAscii(line.substr(0, equals));
    if (key != "project" && key != "startupproject") continue;
    std::string listed = line.substr(equals + 1);
    if (listed.size() >= 2 && listed.front() == '"' && listed.back() == '"')
      listed = listed.substr(1, listed.size() - 2);
    fs::path project = host::vbfiles::ResolveListedPath(vbg.parent_path(), listed);
    if (project.empty()) {
      throw CliError(kExitUsage, vbg.string(), line_number, "listed project not found: " + listed);
    }
    projects.push_back(project);
  }
  if (projects.empty()) throw CliError(kExitUsage, vbg.string(), 0, "the group lists no project");
  return projects;
}

std::vector<ProjectTarget> ExpandTarget(const fs::path& target,
                                        const std::vector<std::string>& excludes) {
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (!fs::exists(status)) throw CliError(kExitUsage, target.string(), 0, "no such file or folder");
  std::vector<ProjectTarget> found;
  if (fs::is_directory(status)) {
    FindProjects(target, excludes, found);
    std::sort(found.begin(), found.end(),
              [](const ProjectTarget& a, const ProjectTarget& b) { return a.path < b.path; });
    return found;
  }
  const std::string extension = LowerExtension(target);
  if (extension == ".vbp") return {{TargetKind::kProject, target}};
  if (extension == ".vbg") {
    for (const fs::path& project : ReadProjectGroup(target))
      found.push_back({TargetKind::kProject, project});
    return found;
  }
  if (IsComponentFile(target)) return {{TargetKind::kComponent, target}};
  throw CliError(kExitUsage, target.string(), 0,
                 "not a project (.vbp), group (.vbg), folder or component file (.bas .cls .frm "
                 ".ctl .pag .dob .dsr)");
}

std::string SingleComponentProjectText(const fs::path& component) {
  const std::string key = ListingKey(component);
  const std::string file = component.filename().string();
  const std::string stem = component.stem().string();
  std::string listing = key + "=";
  if (key == "Module" || key == "Class") listing += stem + "; ";
  listing += file;
  return "Type=Exe\r\n" + listing + "\r\nName=\"" + stem + "\"\r\n";
}

fs::path SingleComponentProjectPath(const fs::path& component) {
  // A name no project file has: the folder may hold a real project of the same stem.
  return component.parent_path() / (".marquill-" + component.filename().string() + ".vbp");
}

std::string DisplayPath(const fs::path& path) { return host::DisplayPath(path); }

fs::path FileIdentity(const fs::path& path) {
  std::error_code error;
  fs::path same = fs::weakly_canonical(fs::absolute(path, error), error);
  return error ? path.lexically_normal() : same;
}

}  // namespace marquill::cli

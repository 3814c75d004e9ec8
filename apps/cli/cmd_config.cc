// marquill config TARGET...: the project settings in effect for each target and where each
// value comes from.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_registry.h"
#include "cli/project_command.h"
#include "cli/project_settings.h"
#include "cli/targets.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

// Whether `key` means something in `section`: an option of that command, or for [marquill] an
// option of any command.
bool Known(const std::string& section, const std::string& key) {
  if (key == "exclude") return true;
  for (const ProjectCommand& command : RegisteredProjectCommands()) {
    if (section != kCommonSection && section != command.name) continue;
    const std::vector<std::string> names = OptionNames(command);
    if (std::find(names.begin(), names.end(), key) != names.end()) return true;
  }
  return false;
}

void Show(const fs::path& target, CliContext& context) {
  std::error_code error;
  const fs::path folder = fs::is_directory(target, error) ? target : target.parent_path();
  const ProjectSettings settings = FindProjectSettings(folder.empty() ? fs::path(".") : folder);
  context.out << "# " << target.string() << '\n';
  if (settings.files.empty()) {
    context.out << "# no " << kSettingsFileName << " here or above: every option has its default\n";
    return;
  }
  for (const auto& [section, values] : settings.sections) {
    context.out << '[' << section << "]\n";
    for (const auto& [key, value] : values) {
      context.out << key << " = " << value.value << "  ; " << DisplayPath(value.file) << ':'
                  << value.line << (Known(section, key) ? "" : " (no such option; ignored)")
                  << '\n';
    }
  }
}

const CommandRegistrar kConfig{
    {"config", "Show the project settings (.marquill.ini) in effect for targets, with sources",
     [](CLI::App& app) -> RunFn {
       auto targets = std::make_shared<std::vector<std::string>>();
       app.add_option("TARGET", *targets, "Projects, groups, folders or component files")
           ->required()
           ->check(CLI::ExistingPath);
       return [targets](CliContext& context) {
         for (const std::string& target : *targets) Show(target, context);
         return kExitDone;
       };
     }}};

}  // namespace
}  // namespace marquill::cli

// `marquill info` and `marquill check`: show a project as the host model sees it, and verify that
// loading and saving it gives its files back byte for byte.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/vbfiles/inspect.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/vb_project.h"

namespace marquill::cli {
namespace {

using host::vbfiles::VbProject;

// The model stays with the context (see CliContext::kept): the program ends without freeing it,
// which for a large project would take longer than saving it.
VbProject& LoadProject(const std::string& path, CliContext& context) {
  try {
    std::shared_ptr<VbProject> project = VbProject::Load(path, ProjectLoadOptions(context.err));
    PrintLoadNotices(context.err, *project);
    context.kept.push_back(project);
    return *project;
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  }
}

const CommandRegistrar kInfo{
    {"info", "Show the project: components, members, references and controls",
     [](CLI::App& app) -> RunFn {
       auto project = std::make_shared<std::string>();
       AddProjectArgument(app, *project);
       return [project](CliContext& context) {
         context.out << host::vbfiles::DescribeProject(LoadProject(*project, context));
         return kExitDone;
       };
     }}};

const CommandRegistrar kCheck{
    {"check", "Load the project, save it in memory and report the first byte that would differ",
     [](CLI::App& app) -> RunFn {
       auto project = std::make_shared<std::string>();
       auto rewrite_all = std::make_shared<bool>(false);
       AddProjectArgument(app, *project);
       // For the load-and-save benchmark: writes every file back, changed or not.
       app.add_flag("--rewrite-all", *rewrite_all, "Write every file back")->group("");
       return [project, rewrite_all](CliContext& context) {
         VbProject& loaded = LoadProject(*project, context);
         if (*rewrite_all) {
           try {
             const auto written = loaded.Save(VbProject::SaveMode::kAll);
             context.out << *project << ": rewrote " << written.size() << " files\n";
             return kExitDone;
           } catch (const host::vbfiles::SaveError& error) {
             throw CliError(kExitFailed, error.what());
           }
         }
         const host::vbfiles::RoundTrip result = host::vbfiles::CheckRoundTrip(loaded);
         if (!result.identical) throw CliError(kExitFailed, result.report);
         context.out << result.report << '\n';
         return kExitDone;
       };
     }}};

}  // namespace
}  // namespace marquill::cli

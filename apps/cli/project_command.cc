#include "cli/project_command.h"

#include <stdlib.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iomanip>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <system_error>

#include "cli/cli_support.h"
#include "cli/project_settings.h"
#include "cli/targets.h"
#include "host/files/file_io.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"

namespace marquill::cli {
namespace fs = std::filesystem;

namespace {

constexpr const char* kStandardInput = "-";

std::vector<ProjectCommand>& ProjectRegistry() {
  static std::vector<ProjectCommand> commands;
  return commands;
}

using DeclareOption = std::function<CLI::Option*(CLI::App& app)>;

std::vector<DeclareOption>& CommonOptionRegistry() {
  static std::vector<DeclareOption> options;
  return options;
}

// The code page of the project's file names is read while each project opens, so it may differ
// from one project's settings to another's.
const CommonOptionRegistrar kCodePage{AddCodePageOption};

// The command's own options and those every project command takes with them.
ProjectAction DeclareSettable(const ProjectCommand& command, CLI::App& app) {
  ProjectAction action = command.setup(app);
  for (const DeclareOption& declare : CommonOptionRegistry()) declare(app);
  return action;
}

// The options every project command takes.
struct CommonOptions {
  std::vector<std::string> targets;
  std::vector<std::string> excludes;
  std::string stdin_filename;
  bool check = false;
  bool dry_run = false;
  bool quiet = false;
  bool verbose = false;
  bool yes = false;

  RunMode Mode() const {
    return check ? RunMode::kCheck : dry_run ? RunMode::kDryRun : RunMode::kWrite;
  }
};

// Options the framework itself reads from the settings files.
const std::set<std::string> kCommonSettings = {"exclude"};

std::vector<CLI::Option*> DeclareCommon(CLI::App& app, CommonOptions& options,
                                        const ProjectCommand& command) {
  std::vector<CLI::Option*> declared;
  declared.push_back(
      app.add_option(
             "TARGET", options.targets,
             "Projects (.vbp), groups (.vbg), folders (every .vbp below) or component "
             "files" +
                 std::string(command.takes_standard_input ? "; - reads standard input" : ""))
          ->required());
  CLI::Option* check = app.add_flag(
      "--check", options.check, "List the files that would change, exit 1 if any; write nothing");
  CLI::Option* dry_run = app.add_flag("--dry-run", options.dry_run,
                                      "Print a unified diff of the changes; write nothing");
  check->excludes(dry_run);
  declared.insert(declared.end(), {check, dry_run});
  declared.push_back(app.add_option("--exclude", options.excludes,
                                    "Skip files and folders matching GLOB below a folder target")
                         ->type_name("GLOB"));
  if (command.takes_standard_input) {
    declared.push_back(app.add_option("--stdin-filename", options.stdin_filename,
                                      "With the target -: the module's file name (its type)")
                           ->type_name("NAME"));
  }
  declared.push_back(app.add_flag("-q,--quiet", options.quiet, "No summary line"));
  declared.push_back(app.add_flag("-v,--verbose", options.verbose, "List each file on stderr"));
  if (command.asks) {
    declared.push_back(app.add_flag("--yes", options.yes, "Answer Yes to the add-in's questions"));
  }
  return declared;
}

// The command's own options as the command line gave them, to parse again with settings.
struct GivenOptions {
  std::vector<std::string> named;       // --name=value, or --name and an empty value
  std::vector<std::string> positional;  // in order
  std::set<std::string> names;          // long names without dashes
};

// An option and its value as arguments to parse again. `--name=value` keeps a value that starts
// with a dash a value; an empty one must be an argument of its own, as the parser takes
// `--name=` for a missing value. A flag takes no argument of its own, so it keeps the `=`.
void AppendOption(std::vector<std::string>& args, const CLI::Option& option,
                  const std::string& dashed_name, const std::string& value) {
  const bool flag = option.get_expected_min() == 0;
  if (value.empty() && !flag) {
    args.push_back(dashed_name);
    args.push_back(value);
  } else if (dashed_name.starts_with("--")) {
    args.push_back(dashed_name + "=" + value);
  } else {
    args.push_back(dashed_name + value);
  }
}

GivenOptions CollectGiven(CLI::App& app, const std::vector<CLI::Option*>& common) {
  GivenOptions given;
  for (CLI::Option* option : app.get_options()) {
    if (option == app.get_help_ptr() || option->count() == 0 ||
        std::find(common.begin(), common.end(), option) != common.end()) {
      continue;
    }
    const std::vector<std::string>& lnames = option->get_lnames();
    const std::vector<std::string>& snames = option->get_snames();
    if (lnames.empty() && snames.empty()) {
      for (const std::string& value : option->results()) given.positional.push_back(value);
      continue;
    }
    const std::string name = lnames.empty() ? snames.front() : lnames.front();
    const std::string dashed = (lnames.empty() ? "-" : "--") + name;
    given.names.insert(name);
    for (const std::string& value : option->results()) {
      AppendOption(given.named, *option, dashed, value);
    }
  }
  return given;
}

// The command set up for one set of project settings: its options parsed from the command
// line, then from the settings for those the command line did not give.
class Configurations {
 public:
  Configurations(const ProjectCommand& command, GivenOptions given, CliContext& context)
      : command_(command), given_(std::move(given)), context_(context) {}

  // Parsed again for every project: options every command takes may keep their value where
  // the project is opened rather than in the action.
  ProjectAction For(const ProjectSettings& settings) { return Configure(settings); }

 private:
  ProjectAction Configure(const ProjectSettings& settings) {
    CLI::App fresh{"", command_.name};
    ProjectAction action = DeclareSettable(command_, fresh);
    std::vector<std::string> args = given_.named;
    std::vector<const SettingValue*> used;
    const std::map<std::string, SettingValue> values = settings.For(command_.name);
    for (const auto& [key, value] : values) {
      CLI::Option* option = fresh.get_option_no_throw("--" + key);
      if (option == nullptr || option->get_positional()) {
        WarnUnknown(settings, key, value);
        continue;
      }
      if (given_.names.count(key) > 0) continue;
      AppendOption(args, *option, "--" + key, value.value);
      used.push_back(&value);
    }
    if (!given_.positional.empty()) {
      args.emplace_back("--");
      args.insert(args.end(), given_.positional.begin(), given_.positional.end());
    }
    std::reverse(args.begin(), args.end());
    try {
      fresh.parse(args);
    } catch (const CLI::ParseError& error) {
      throw SettingError(error, used);
    }
    return action;
  }

  // A key in the command's own section that names no option is a slip worth a word; keys of
  // [marquill] are for whichever commands take them.
  void WarnUnknown(const ProjectSettings& settings, const std::string& key,
                   const SettingValue& value) {
    if (kCommonSettings.count(key) > 0) return;
    const SettingValue* own = settings.Find(command_.name, key);
    if (own == nullptr || own->file != value.file || own->line != value.line) return;
    if (!warned_.insert(value.file.string() + ":" + std::to_string(value.line)).second) return;
    context_.err << "marquill: " << value.file.string() << ':' << value.line << ": "
                 << command_.name << " has no option --" << key << "; ignored\n";
  }

  // Names the settings line whose value the parser refused, when the message lets us tell.
  static CliError SettingError(const CLI::ParseError& error,
                               const std::vector<const SettingValue*>& used) {
    const std::string message = error.what();
    for (const SettingValue* value : used) {
      if (message.find(value->value) != std::string::npos) {
        return CliError(kExitUsage, value->file.string(), value->line, message);
      }
    }
    return CliError(kExitUsage, message);
  }

  const ProjectCommand& command_;
  GivenOptions given_;
  CliContext& context_;
  std::set<std::string> warned_;
};

// Project settings by folder: many projects of a call share a folder.
class SettingsCache {
 public:
  const ProjectSettings& For(const fs::path& folder) {
    const fs::path key = FileIdentity(folder.empty() ? fs::path(".") : folder);
    auto found = cache_.find(key);
    if (found == cache_.end()) found = cache_.emplace(key, FindProjectSettings(key)).first;
    return found->second;
  }

 private:
  std::map<fs::path, ProjectSettings> cache_;
};

// Under a preview the add-in's questions get Yes without a word: nothing is written, so nothing
// needs confirming, and the preview shows what Yes does. A command that reports the add-in's
// messages itself keeps them from the console. Everything else goes to the console.
class PreviewPlatform : public shell::PlatformServices {
 public:
  PreviewPlatform(shell::PlatformServices& console, bool yes_to_questions, bool silent_messages)
      : console_(console), yes_to_questions_(yes_to_questions), silent_messages_(silent_messages) {}

  shell::MsgBoxResult MsgBox(const shell::MessageBox& box) override {
    if (box.buttons == shell::MsgBoxButtons::kYesNo && yes_to_questions_)
      return shell::MsgBoxResult::kYes;
    if (box.buttons == shell::MsgBoxButtons::kOkOnly && silent_messages_)
      return shell::MsgBoxResult::kOk;
    return console_.MsgBox(box);
  }
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override {
    return console_.InputBox(prompt, title, default_text);
  }
  std::optional<std::string> OpenFileDialog(const shell::FileDialog& dialog) override {
    return console_.OpenFileDialog(dialog);
  }
  std::optional<host::Color> ColorDialog(host::Color initial) override {
    return console_.ColorDialog(initial);
  }
  std::optional<std::string> BrowseForFolder(std::string_view title) override {
    return console_.BrowseForFolder(title);
  }
  bool ShellOpen(std::string_view path) override { return console_.ShellOpen(path); }
  bool StartProgram(std::string_view command_line) override {
    return console_.StartProgram(command_line);
  }
  std::string SystemFolder() override { return console_.SystemFolder(); }
  std::string Environment(std::string_view name) override { return console_.Environment(name); }

 private:
  shell::PlatformServices& console_;
  bool yes_to_questions_;
  bool silent_messages_;
};

// The add-in's platform for one project: a recording in front (commands look at what was
// asked), the console behind, and in previews the quiet Yes between.
class ProjectPlatform {
 public:
  ProjectPlatform(bool assume_yes, bool preview, bool quiet_yes, bool silent_messages,
                  CliContext& context)
      : console_(assume_yes, context.in, context.err,
                 preview ? std::optional<bool>(false) : std::nullopt),
        preview_(console_, quiet_yes, silent_messages),
        recording_(quiet_yes || silent_messages ? static_cast<shell::PlatformServices*>(&preview_)
                                                : &console_) {}

  shell::ScriptedPlatform& Services() { return recording_; }

 private:
  shell::ConsolePlatform console_;
  PreviewPlatform preview_;
  shell::ScriptedPlatform recording_;
};

void WriteDiff(std::ostream& out, const fs::path& file, const std::string& after) {
  std::error_code error;
  std::optional<std::string> before;
  if (fs::exists(file, error)) before = host::ReadWholeFile(file.string()).value_or("");
  shell::WriteFileDiff(out, file, before, after);
}

std::string Seconds(std::chrono::steady_clock::duration elapsed) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(1) << std::chrono::duration<double>(elapsed).count()
       << " s";
  return text.str();
}

// One call of a project command over all its targets.
class ProjectCommandRun {
 public:
  ProjectCommandRun(const ProjectCommand& command, const CommonOptions& options, GivenOptions given,
                    CliContext& context)
      : command_(command),
        options_(options),
        context_(context),
        configurations_(command, std::move(given), context) {}

  int Run() {
    const auto started = std::chrono::steady_clock::now();
    if (std::count(options_.targets.begin(), options_.targets.end(), kStandardInput) > 0 ||
        !options_.stdin_filename.empty()) {
      return RunStandardInput();
    }
    const std::vector<ProjectTarget> targets = Targets();
    for (const ProjectTarget& target : targets) {
      try {
        RunProject(target, targets.size() > 1);
      } catch (const CliError& error) {
        Fail(error);
      } catch (const host::vbfiles::LoadError& error) {
        Fail(CliError(kExitUsage, error.file(), error.line(), error.message()));
      } catch (const host::vbfiles::SaveError& error) {
        Fail(CliError(kExitFailed, error.what()));
      }
    }
    if (!options_.quiet) Summary(std::chrono::steady_clock::now() - started);
    if (options_.check && changed_ > 0) exit_code_ = std::max(exit_code_, kExitFailed);
    return exit_code_;
  }

 private:
  std::vector<ProjectTarget> Targets() {
    std::vector<ProjectTarget> projects;
    std::set<fs::path> seen;
    for (const std::string& argument : options_.targets) {
      std::vector<std::string> excludes = options_.excludes;
      std::error_code error;
      if (fs::is_directory(argument, error)) {
        for (const auto& [key, value] : settings_.For(argument).For(command_.name)) {
          if (key != "exclude") continue;
          for (std::string& glob : SplitList(value.value)) excludes.push_back(std::move(glob));
        }
      }
      for (ProjectTarget& project : ExpandTarget(argument, excludes)) {
        if (seen.insert(FileIdentity(project.path)).second) projects.push_back(std::move(project));
      }
    }
    return projects;
  }

  // Nobody is asked at a terminal when nothing is to be written, nor when standard input
  // carries the module.
  std::unique_ptr<ProjectPlatform> MakePlatform(bool writes_nothing) {
    return std::make_unique<ProjectPlatform>(options_.yes, writes_nothing,
                                             writes_nothing && command_.yes_when_writing_nothing,
                                             command_.reports_messages, context_);
  }

  void RunProject(const ProjectTarget& target, bool one_of_several) {
    const RunMode mode = options_.Mode();
    const bool alone = target.kind == TargetKind::kComponent;
    const auto platforms = MakePlatform(mode != RunMode::kWrite);
    shell::ScriptedPlatform& platform = platforms->Services();
    shell::SessionOptions session_options;
    session_options.project = alone ? SingleComponentProjectPath(target.path) : target.path;
    if (alone) session_options.project_text = SingleComponentProjectText(target.path);
    session_options.writes_nothing = mode != RunMode::kWrite;
    session_options.platform = &platform;
    session_options.load = ProjectLoadOptions(context_.err);
    ProjectAction action = configurations_.For(settings_.For(target.path.parent_path()));
    shell::Session session(session_options);
    PrintLoadNotices(context_.err, session.Project());
    ProjectRun run{session, platform, context_, mode, target.path, tallies_, one_of_several};
    action(run);
    session.Close();
    const fs::path made_up = alone ? session_options.project : fs::path();
    // A file another project of this call already wrote (or showed) is left to that one.
    auto keep = [&](const fs::path& file) {
      return file != made_up && claimed_.insert(FileIdentity(file)).second;
    };
    std::set<fs::path> changed;
    if (mode == RunMode::kWrite) {
      for (const fs::path& file : session.Project().Save(VbProject::SaveMode::kChanged, keep))
        changed.insert(FileIdentity(file));
    } else {
      for (const auto& file : session.Project().SaveToMemory()) {
        if (!keep(file.path)) continue;
        changed.insert(FileIdentity(file.path));
        if (mode == RunMode::kCheck) {
          context_.out << DisplayPath(file.path) << '\n';
        } else {
          WriteDiff(context_.out, file.path, file.bytes);
        }
      }
      // Pages the window would have written (an HTML export) are shown the same way.
      for (const auto& [page, bytes] : session.PreviewPages()) {
        if (mode == RunMode::kCheck) {
          context_.out << DisplayPath(page) << '\n';
        } else {
          WriteDiff(context_.out, page, bytes);
        }
      }
    }
    std::vector<fs::path> examined;
    if (command_.examines_project_files) {
      for (const auto& entry : session.Project().Entries()) {
        if (entry.image) examined.push_back(entry.path);
      }
    }
    // Text files beside the project (a time log): written already, or kept in memory.
    for (const auto& [path, change] : session.TextFileChanges()) {
      if (change.before == change.after || !keep(path)) continue;
      examined.push_back(path);
      changed.insert(FileIdentity(path));
      if (mode == RunMode::kCheck) context_.out << DisplayPath(path) << '\n';
      if (mode == RunMode::kDryRun)
        shell::WriteFileDiff(context_.out, path, change.before, change.after);
    }
    Count(examined, changed);
  }

  void Count(const std::vector<fs::path>& examined, const std::set<fs::path>& changed) {
    changed_ += static_cast<long>(changed.size());
    for (const fs::path& path : examined) {
      const fs::path file = FileIdentity(path);
      if (!examined_.insert(file).second) continue;
      if (options_.verbose) {
        context_.err << command_.name << ": " << DisplayPath(path)
                     << (changed.count(file) > 0 ? Changed() : " unchanged") << '\n';
      }
    }
  }

  std::string Changed() const {
    return options_.Mode() == RunMode::kWrite ? " changed" : " would change";
  }

  void Fail(const CliError& error) {
    context_.err << FormatError(error) << '\n';
    exit_code_ = std::max(exit_code_, error.exit_code());
  }

  void Summary(std::chrono::steady_clock::duration elapsed) {
    context_.err << command_.name << ": " << examined_.size()
                 << (examined_.size() == 1 ? " file, " : " files, ") << changed_ << Changed();
    for (const auto& [what, count] : tallies_) {
      if (count != 0) context_.err << ", " << count << ' ' << what;
    }
    context_.err << ", " << Seconds(elapsed) << '\n';
  }

  int RunStandardInput();

  using VbProject = host::vbfiles::VbProject;

  const ProjectCommand& command_;
  const CommonOptions& options_;
  CliContext& context_;
  Configurations configurations_;
  SettingsCache settings_;
  std::set<fs::path> examined_;
  std::set<fs::path> claimed_;
  long changed_ = 0;
  std::map<std::string, long> tallies_;
  int exit_code_ = kExitDone;
};

// A private folder for the module read from standard input, removed with this object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "marquill-stdin-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw CliError(kExitFailed, "cannot create a temporary folder for standard input");
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

int ProjectCommandRun::RunStandardInput() {
  if (options_.targets != std::vector<std::string>{kStandardInput}) {
    throw CliError(kExitUsage, "- (standard input) must be the only target");
  }
  if (!command_.takes_standard_input) {
    throw CliError(kExitUsage, command_.name + " does not read standard input");
  }
  const fs::path name = options_.stdin_filename;
  if (name.empty()) {
    throw CliError(kExitUsage, "- needs --stdin-filename NAME.bas: the name tells the type");
  }
  if (!IsComponentFile(name)) {
    throw CliError(kExitUsage, "--stdin-filename " + name.string() +
                                   ": not a component file (.bas .cls .frm .ctl .pag .dob .dsr)");
  }
  const std::string input{std::istreambuf_iterator<char>(context_.in), {}};
  ScratchFolder scratch;
  const fs::path file = scratch.Path() / name.filename();
  try {
    host::WriteFileAtomically(file.string(), input);
  } catch (const std::system_error& error) {
    throw CliError(kExitFailed, std::string("cannot keep standard input: ") + error.what());
  }
  const RunMode mode = options_.Mode();
  const auto platforms = MakePlatform(true);
  shell::ScriptedPlatform& platform = platforms->Services();
  shell::SessionOptions session_options;
  session_options.project = SingleComponentProjectPath(file);
  session_options.project_text = SingleComponentProjectText(file);
  session_options.writes_nothing = true;
  session_options.platform = &platform;
  session_options.load = ProjectLoadOptions(context_.err);
  ProjectAction action = configurations_.For(settings_.For(name.parent_path()));
  std::string output = input;
  try {
    shell::Session session(session_options);
    ProjectRun run{session, platform, context_, mode, name, tallies_, false};
    action(run);
    session.Close();
    for (auto& rendered : session.Project().SaveToMemory()) {
      if (rendered.path == file) output = std::move(rendered.bytes);
    }
  } catch (const host::vbfiles::LoadError& error) {
    // Errors name the file the editor knows, not the scratch copy.
    throw CliError(kExitUsage, name.string(), error.line(), error.message());
  }
  const bool changes = output != input;
  if (mode == RunMode::kCheck) {
    if (changes) context_.out << DisplayPath(name) << '\n';
    return changes ? kExitFailed : kExitDone;
  }
  if (mode == RunMode::kDryRun) {
    shell::WriteFileDiff(context_.out, name, input, output);
    return kExitDone;
  }
  context_.out << output;
  return kExitDone;
}

RunFn Setup(const ProjectCommand& command, CLI::App& app) {
  auto options = std::make_shared<CommonOptions>();
  // The command's positional arguments come before the targets. This first action is never
  // run, but it owns the storage its options parse into.
  auto first = std::make_shared<ProjectAction>(DeclareSettable(command, app));
  auto common = std::make_shared<std::vector<CLI::Option*>>(DeclareCommon(app, *options, command));
  return [command, options, common, first, &app](CliContext& context) {
    ProjectCommandRun run(command, *options, CollectGiven(app, *common), context);
    return run.Run();
  };
}

}  // namespace

CliCommand MakeProjectCommand(ProjectCommand command) {
  return {command.name, command.description,
          [command](CLI::App& app) { return Setup(command, app); }};
}

ProjectCommandRegistrar::ProjectCommandRegistrar(ProjectCommand command)
    : registrar_((ProjectRegistry().push_back(command), MakeProjectCommand(command))) {}

CommonOptionRegistrar::CommonOptionRegistrar(std::function<CLI::Option*(CLI::App& app)> declare) {
  CommonOptionRegistry().push_back(std::move(declare));
}

std::vector<std::string> OptionNames(const ProjectCommand& command) {
  CLI::App app{"", command.name};
  const ProjectAction keeps_storage = DeclareSettable(command, app);
  std::vector<std::string> names;
  for (const CLI::Option* option : app.get_options()) {
    if (option == app.get_help_ptr() || option->get_lnames().empty()) continue;
    names.push_back(option->get_lnames().front());
  }
  return names;
}

std::vector<ProjectCommand> RegisteredProjectCommands() {
  auto commands = ProjectRegistry();
  std::sort(commands.begin(), commands.end(),
            [](const ProjectCommand& a, const ProjectCommand& b) { return a.name < b.name; });
  return commands;
}

}  // namespace marquill::cli

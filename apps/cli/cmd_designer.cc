// The form designer tools of the "&Forms" and "&Controls" tabs: form-props, control and
// tab-order. For each project of the targets they set the tab's fields from the options and
// press the button; the project command framework saves, previews or checks what changed. A value
// the window refuses (a box titled "Error") is bad input: the command exits 2 and writes nothing.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/project_command.h"
#include "cli/targets.h"
#include "designer/control_tools.h"
#include "designer/form_properties.h"
#include "designer/tab_order.h"
#include "host/text/vb_text.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/window/designer_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

// A box titled "Error" means the window refused the input: nothing of the project is saved.
void ThrowOnErrorBox(const ProjectRun& run, const std::string& file = "") {
  const std::string prefix = std::string(shell::kErrorTitle) + ": ";
  for (const shell::PlatformCall& call : run.platform.CallsOf("MsgBox")) {
    if (call.detail.starts_with(prefix))
      throw CliError(kExitUsage, file, 0, call.detail.substr(prefix.size()));
  }
}

// The dialog the next click opens answers `text`.
void Answer(ProjectRun& run, const std::string& text) {
  run.platform.Queue({shell::Answer::Kind::kText, text, "the command line"});
}

host::Component& ChosenForm(ProjectRun& run) {
  return run.session.Vbe().ActiveProject()->Components().Item(run.session.Window().cmbForms.Text());
}

// The entry of `list` showing `text`, exact case first, then in any case; -1 when none does.
int FindEntry(const shell::ListControl& list, const std::string& text) {
  if (const int exact = list.Find(text); exact >= 0) return exact;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (host::EqualsNoCase(list.List(i), text)) return i;
  }
  return -1;
}

void ChooseForm(ProjectRun& run, const std::string& form) {
  shell::ComboBox& forms = run.session.Window().cmbForms;
  const int entry = FindEntry(forms, form);
  if (entry < 0) {
    throw CliError(kExitUsage, run.target.string(), 0,
                   "no form, MDI form or user control named '" + form + "'");
  }
  forms.Choose(entry);
}

// ---- form-props

struct FormPropsOptions {
  std::vector<std::string> forms;
  std::optional<std::string> icon, back_color, scale_mode, start_up, border, window_state;
  std::optional<std::string> taskbar, whats_this_button, whats_this_help;
  bool no_icon = false;
};

struct ListProperty {
  std::optional<std::string> FormPropsOptions::*option;
  const char* flag;
  shell::ComboBox shell::FormsTab::*list;
  int button;  // cmdChange index
  const char* property;
};

const ListProperty kListProperties[] = {
    {&FormPropsOptions::scale_mode, "--scale-mode", &shell::FormsTab::cmbScaleMode, 2, "ScaleMode"},
    {&FormPropsOptions::start_up, "--start-up", &shell::FormsTab::cmbStartUpPos, 3,
     "StartUpPosition"},
    {&FormPropsOptions::border, "--border", &shell::FormsTab::cmbBorderForm, 4, "BorderStyle"},
    {&FormPropsOptions::window_state, "--window-state", &shell::FormsTab::cmbWndState, 5,
     "WindowState"},
};

struct SwitchProperty {
  std::optional<std::string> FormPropsOptions::*option;
  const char* flag;
  shell::ControlArray<shell::CommandButton> shell::FormsTab::*buttons;
  int on_button;  // the "True" button; "False" is the next one
  const char* property;
};

const SwitchProperty kSwitchProperties[] = {
    {&FormPropsOptions::taskbar, "--taskbar", &shell::FormsTab::cmdTaskBar, 0, "ShowInTaskbar"},
    {&FormPropsOptions::whats_this_button, "--whats-this-button", &shell::FormsTab::cmdTrueFalse, 0,
     "WhatsThisButton"},
    {&FormPropsOptions::whats_this_help, "--whats-this-help", &shell::FormsTab::cmdTrueFalse, 2,
     "WhatsThisHelp"},
};

// An entry of the list by its text (any case) or its position.
int ListEntry(const shell::ComboBox& list, const std::string& flag, const std::string& value) {
  if (const int found = FindEntry(list, value); found >= 0) return found;
  if (!value.empty() &&
      std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
      value.size() < 3 && std::stoi(value) < list.ListCount())
    return std::stoi(value);
  std::string entries;
  for (int i = 0; i < list.ListCount(); ++i)
    entries += (i > 0 ? ", " : "") + std::string("\"") + list.List(i) + "\" " + std::to_string(i);
  throw CliError(kExitUsage, flag + " wants one of " + entries + "; not '" + value + "'");
}

bool OnOff(const std::string& flag, const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  throw CliError(kExitUsage, flag + " wants on or off, not '" + value + "'");
}

// A colour as the language writes it: an RGB value up to &HFFFFFF&, or a system colour
// &H80000000& to &H80000018&.
host::Color ParseBackColor(const std::string& text) {
  const std::optional<host::Color> color = shell::ParseColor(text);
  const bool valid = color && designer::IsOleColor(*color);
  if (!valid) {
    throw CliError(kExitUsage,
                   "--back-color wants a colour such as &HFF8000& (blue green red) "
                   "or &H8000000F& (a system colour), not '" +
                       text + "'");
  }
  return *color;
}

// Ticks the named forms only, or leaves every form ticked.
void TickForms(ProjectRun& run, const std::vector<std::string>& forms) {
  shell::ListBox& list = run.session.Window().lstForms;
  if (forms.empty()) return;
  std::vector<int> ticked;
  for (const std::string& form : forms) {
    const int entry = FindEntry(list, form);
    if (entry < 0) {
      throw CliError(kExitUsage, run.target.string(), 0,
                     "no form or MDI form named '" + form + "'");
    }
    ticked.push_back(entry);
  }
  for (int i = 0; i < list.ListCount(); ++i)
    list.SetSelected(i, std::find(ticked.begin(), ticked.end(), i) != ticked.end());
}

// Forms lacking the property: an error when named, a note when only ticked by default.
void CheckForms(ProjectRun& run, const FormPropsOptions& options, const char* property) {
  host::Project& project = *run.session.Vbe().ActiveProject();
  for (const std::string& form : shell::TickedForms(run.session.Window())) {
    const std::string missing = designer::MissingFormProperty(project, form, property);
    if (missing.empty()) continue;
    const std::string file = project.Components().Item(form).FileNames(1);
    if (!options.forms.empty()) throw CliError(kExitUsage, file, 0, missing);
    run.context.err << "marquill: " << DisplayPath(file) << ": skipped: " << missing << '\n';
  }
}

// Sets the field the options name and returns the property and the button to press.
std::pair<const char*, shell::CommandButton*> PrepareFormProps(ProjectRun& run,
                                                               const FormPropsOptions& options) {
  shell::frmUtility& window = run.session.Window();
  if (options.icon || options.no_icon) {
    // The empty picture, from a cancelled first pick, removes the icon.
    const std::string file = options.icon.value_or("");
    if (!file.empty()) {
      try {
        designer::LoadIcon(file);
      } catch (const designer::IconError& refused) {
        throw CliError(kExitUsage, refused.what());
      }
    }
    Answer(run, file);
    window.pctForms(0).Click();
    ThrowOnErrorBox(run);
    return {"Icon", &window.cmdChange(0)};
  }
  if (options.back_color) {
    Answer(run, shell::ColorText(ParseBackColor(*options.back_color)));
    window.pctForms(1).Click();
    return {"BackColor", &window.cmdChange(1)};
  }
  for (const ListProperty& row : kListProperties) {
    if (!(options.*row.option)) continue;
    shell::ComboBox& list = window.*row.list;
    list.Choose(ListEntry(list, row.flag, *(options.*row.option)));
    return {row.property, &window.cmdChange(row.button)};
  }
  for (const SwitchProperty& row : kSwitchProperties) {
    if (!(options.*row.option)) continue;
    const bool on = OnOff(row.flag, *(options.*row.option));
    return {row.property, &(window.*row.buttons)(row.on_button + (on ? 0 : 1))};
  }
  throw CliError(
      kExitUsage,
      "form-props needs a property option: --icon, --no-icon, --back-color, --scale-mode, "
      "--start-up, --border, --window-state, --taskbar, --whats-this-button or "
      "--whats-this-help");
}

// How many property options are given: the command writes exactly one property.
int PropertyOptions(const FormPropsOptions& options) {
  int given = (options.icon ? 1 : 0) + (options.no_icon ? 1 : 0) + (options.back_color ? 1 : 0);
  for (const ListProperty& row : kListProperties) given += (options.*row.option) ? 1 : 0;
  for (const SwitchProperty& row : kSwitchProperties) given += (options.*row.option) ? 1 : 0;
  return given;
}

void RunFormProps(const FormPropsOptions& options, ProjectRun& run) {
  if (PropertyOptions(options) > 1)
    throw CliError(kExitUsage, "form-props writes one property at a time: give one option");
  TickForms(run, options.forms);
  const auto [property, button] = PrepareFormProps(run, options);
  CheckForms(run, options, property);
  button->Click();
  ThrowOnErrorBox(run);
}

ProjectAction SetupFormProps(CLI::App& app) {
  auto options = std::make_shared<FormPropsOptions>();
  app.add_option("--form", options->forms, "Only this form (repeat for more); default: all forms");
  NotEmpty(app.add_option("--icon", options->icon, "An .ico file to store as the icon"));
  app.add_flag("--no-icon", options->no_icon, "Remove the icon");
  app.add_option("--back-color", options->back_color, "&HBBGGRR& or a system colour");
  app.add_option("--scale-mode", options->scale_mode, "User, Twips, ... Centimeter, or 0-7");
  app.add_option("--start-up", options->start_up,
                 "Manual, \"Center Owner\", \"Center Screen\", \"Windows Default\", or 0-3");
  app.add_option("--border", options->border,
                 "None, \"Fixed Single\", Sizable, \"Fixed Dialog\", \"Fixed ToolWindow\", "
                 "\"Sizable ToolWindow\", or 0-5");
  app.add_option("--window-state", options->window_state, "Normal, Minimized, Maximized, or 0-2");
  app.add_option("--taskbar", options->taskbar, "ShowInTaskbar: on or off");
  app.add_option("--whats-this-button", options->whats_this_button, "on or off");
  app.add_option("--whats-this-help", options->whats_this_help, "on or off");
  return [options](ProjectRun& run) { RunFormProps(*options, run); };
}

const ProjectCommandRegistrar kFormProps{
    {"form-props", "Write one design-time property on every form (or the --form ones)",
     SetupFormProps}};

// ---- control delete|rename

struct ControlOptions {
  std::string action;
  std::string form;
  std::string control;
  std::optional<std::string> new_name;
};

void RunControl(const ControlOptions& options, ProjectRun& run) {
  const bool rename = options.action == "rename";
  if (rename && !options.new_name) throw CliError(kExitUsage, "control rename needs --new-name");
  if (!rename && options.new_name) throw CliError(kExitUsage, "control delete takes no --new-name");
  shell::frmUtility& window = run.session.Window();
  ChooseForm(run, options.form);
  const std::string file = ChosenForm(run).FileNames(1);
  const int entry = FindEntry(window.lstControls, options.control);
  if (entry < 0) {
    throw CliError(kExitUsage, file, 0,
                   window.cmbForms.Text() + " has no control named '" + options.control + "'");
  }
  window.lstControls.Choose(entry);
  if (rename) {
    host::Component& form = ChosenForm(run);
    const std::string refused = designer::CheckNewControlName(
        *form.Designer(), form.Name(), window.lstControls.Text(), *options.new_name);
    if (!refused.empty()) throw CliError(kExitUsage, file, 0, refused);
    window.txtNewNameControl.SetText(*options.new_name);
    window.cmdRenControl.Click();
  } else {
    window.cmdDelControl.Click();
  }
  ThrowOnErrorBox(run, file);
}

const ProjectCommandRegistrar kControl{
    {"control", "Delete or rename a control with its event procedures and code",
     [](CLI::App& app) -> ProjectAction {
       auto options = std::make_shared<ControlOptions>();
       app.add_option("ACTION", options->action, "delete or rename")
           ->required()
           ->check(CLI::IsMember({"delete", "rename"}));
       app.add_option("--form", options->form, "The form, MDI form or user control")->required();
       app.add_option("--control", options->control, "The control's name")->required();
       NotEmpty(app.add_option("--new-name", options->new_name, "rename: the new name"));
       return [options](ProjectRun& run) { RunControl(*options, run); };
     }}};

// ---- tab-order

struct TabOrderOptions {
  std::string form;
  std::optional<std::string> order;
  std::optional<std::string> no_stop;
};

std::vector<designer::TabEntry> ParseEntries(const std::string& flag, const std::string& text) {
  std::vector<designer::TabEntry> entries;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    try {
      entries.push_back(designer::ParseEntryText(std::string(host::TrimSpaces(item))));
    } catch (const std::invalid_argument& bad) {
      throw CliError(kExitUsage, flag + ": " + bad.what());
    }
  }
  return entries;
}

std::vector<designer::TabEntry> Entries(const shell::ListBox& list) {
  std::vector<designer::TabEntry> entries;
  for (int i = 0; i < list.ListCount(); ++i) entries.push_back({list.List(i), list.ItemData(i)});
  return entries;
}

void Fill(shell::ListBox& list, const std::vector<designer::TabEntry>& entries) {
  list.Clear();
  for (const designer::TabEntry& entry : entries)
    list.SetItemData(list.AddItem(entry.name), entry.index);
}

bool Names(const std::vector<designer::TabEntry>& entries, const designer::TabEntry& entry) {
  return std::any_of(entries.begin(), entries.end(), [&](const designer::TabEntry& named) {
    return named.index == entry.index && host::EqualsNoCase(named.name, entry.name);
  });
}

// The lists after the options: --order first in its order, then the rest of the order as read;
// --no-stop replaces the stop list; a control named in one option leaves the other list.
designer::TabOrder Rearranged(const designer::TabOrder& read, const TabOrderOptions& options) {
  const auto order =
      options.order ? ParseEntries("--order", *options.order) : std::vector<designer::TabEntry>{};
  const auto no_stop = options.no_stop ? ParseEntries("--no-stop", *options.no_stop)
                                       : std::vector<designer::TabEntry>{};
  designer::TabOrder lists{order, options.no_stop ? no_stop : std::vector<designer::TabEntry>{}};
  for (const designer::TabEntry& entry : read.order) {
    if (!Names(order, entry) && !Names(no_stop, entry)) lists.order.push_back(entry);
  }
  if (!options.no_stop) {
    for (const designer::TabEntry& entry : read.no_stop) {
      if (!Names(order, entry)) lists.no_stop.push_back(entry);
    }
  }
  return lists;
}

std::string Joined(const std::vector<designer::TabEntry>& entries) {
  std::string text;
  for (const designer::TabEntry& entry : entries)
    text += (text.empty() ? "" : ",") + designer::EntryText(entry);
  return text;
}

void RunTabOrder(const TabOrderOptions& options, ProjectRun& run) {
  shell::frmUtility& window = run.session.Window();
  ChooseForm(run, options.form);
  window.cmdGetTab.Click();
  const designer::TabOrder read{Entries(window.lstTabOrder), Entries(window.lstTabStop)};
  if (!options.order && !options.no_stop) {
    run.context.out << "order: " << Joined(read.order) << "\nno-stop: " << Joined(read.no_stop)
                    << '\n';
    return;
  }
  const designer::TabOrder lists = Rearranged(read, options);
  const std::string file = ChosenForm(run).FileNames(1);
  try {
    designer::CheckTabOrder(*ChosenForm(run).Designer(), lists);
  } catch (const designer::TabOrderError& refused) {
    throw CliError(kExitUsage, file, 0, refused.what());
  }
  Fill(window.lstTabOrder, lists.order);
  Fill(window.lstTabStop, lists.no_stop);
  window.cmdSaveTab.Click();
  ThrowOnErrorBox(run, file);
}

const ProjectCommandRegistrar kTabOrder{
    {"tab-order", "Show a form's tab order and tab stops, or rearrange and write them",
     [](CLI::App& app) -> ProjectAction {
       auto options = std::make_shared<TabOrderOptions>();
       app.add_option("--form", options->form, "The form, MDI form or user control")->required();
       app.add_option("--order", options->order,
                      "Controls first in the tab order, comma-separated (an array element as "
                      "NAME(INDEX)); the others follow as they were");
       app.add_option("--no-stop", options->no_stop,
                      "Controls whose tab stop is switched off, comma-separated");
       return [options](ProjectRun& run) { RunTabOrder(*options, run); };
     }}};

}  // namespace
}  // namespace marquill::cli

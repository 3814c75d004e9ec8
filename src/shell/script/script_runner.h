// Runs the steps of a script against a connected add-in: its main window's controls, its menu
// and toolbar, the IDE's code panes, and the answers to the questions it will ask.
#pragma once

#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "shell/command_bars/recording_command_bars.h"
#include "shell/connect.h"
#include "shell/platform/scripted_platform.h"
#include "shell/script/script_parser.h"

namespace marquill::shell {

struct ScriptTarget {
  Connect& addin;
  RecordingCommandBars& bars;
  host::MemoryVbe& vbe;
  // The add-in's platform services: `answer` steps queue here.
  ScriptedPlatform& platform;
};

// Runs `steps` in order. ScriptError at the first step that names an unknown control, a missing
// entry or caption, a disabled control, or that a command refuses; also when an answer given
// was never asked for. `file` names the script in messages.
void RunScript(const std::vector<ScriptStep>& steps, ScriptTarget target, const std::string& file);

}  // namespace marquill::shell

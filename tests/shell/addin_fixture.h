// An add-in connected to an in-memory IDE, with recording command bars, scripted platform
// services, settings in memory and its database in a temporary add-in folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "host/support/test_project.h"
#include "shell/command_bars/recording_command_bars.h"
#include "shell/connect.h"
#include "shell/platform/scripted_platform.h"
#include "shell/settings/settings_store.h"
#include "shell_test_util.h"

namespace marquill::shell::testing_util {

// 2026-12-06 09:00:00 local time plus `seconds`.
inline std::chrono::system_clock::time_point FixedTime(int seconds = 0) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 6;
  local.tm_hour = 9;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) +
         std::chrono::seconds(seconds);
}

class AddinFixture : public testing::Test {
 protected:
  explicit AddinFixture(
      std::vector<host::test::ComponentSpec> components =
          {
              {"modMain", host::ComponentType::kStdModule, {"Sub Main()", "End Sub"}},
          })
      : vbe_(host::test::MakeVbe(components)) {}

  std::unique_ptr<Connect> MakeAddin() {
    return std::make_unique<Connect>(
        AddinServices{platform_, settings_, time_log_, addin_folder_.Folder()});
  }

  // Connects a fresh add-in to the IDE and the bars.
  Connect& ConnectAddin() {
    addin_ = MakeAddin();
    addin_->OnConnection(*vbe_, bars_);
    return *addin_;
  }

  // Connects and opens the main window.
  frmUtility& OpenWindow() {
    if (!addin_) ConnectAddin();
    addin_->OpenMainWindow();
    return *addin_->MainWindow();
  }

  host::MemoryProject& Project() { return host::test::ActiveMemoryProject(*vbe_); }

  // The text of every message box shown so far.
  std::vector<std::string> MsgBoxes() const {
    std::vector<std::string> shown;
    for (const PlatformCall& call : platform_.CallsOf("MsgBox")) shown.push_back(call.detail);
    return shown;
  }

  TempFolder addin_folder_{"addin"};
  std::unique_ptr<host::MemoryVbe> vbe_;
  RecordingCommandBars bars_;
  ScriptedPlatform platform_;
  MemorySettingsStore settings_;
  // Logs in memory only; the clock stands at FixedTime() until a test moves it.
  MemoryTimeLog time_log_{nullptr, [] { return FixedTime(); }};
  std::unique_ptr<Connect> addin_;
};

}  // namespace marquill::shell::testing_util

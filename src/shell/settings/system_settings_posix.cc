#include "host/paths/paths.h"
#include "shell/settings/system_settings.h"

namespace marquill::shell {

namespace {
std::string Folder() { return host::SettingsFolder().string(); }
}  // namespace

std::unique_ptr<SettingsStore> OpenSystemSettings(std::function<void(const std::string&)> warn) {
  return std::make_unique<IniSettingsStore>(Folder(), std::move(warn));
}

std::string SystemSettingsPlace() { return Folder() + "settings.ini"; }

}  // namespace marquill::shell

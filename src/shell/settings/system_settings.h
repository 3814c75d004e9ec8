// The store this system keeps the add-in's values in: settings.ini in the settings folder on
// Linux (system_settings_posix.cc), the registry on Windows (system_settings_win.cc).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/settings/settings_store.h"

namespace marquill::shell {

// `warn` hears of a store that cannot be used (its reason, without the place).
std::unique_ptr<SettingsStore> OpenSystemSettings(std::function<void(const std::string&)> warn);
// Where that store keeps the values, for messages: a file path or a registry key.
std::string SystemSettingsPlace();

}  // namespace marquill::shell

#include "shell/settings/registry_settings_store.h"
#include "shell/settings/system_settings.h"

namespace marquill::shell {

std::unique_ptr<SettingsStore> OpenSystemSettings(std::function<void(const std::string&)>) {
  return std::make_unique<RegistrySettingsStore>();
}

std::string SystemSettingsPlace() { return "HKEY_LOCAL_MACHINE\\" + std::string(kSettingsKey); }

}  // namespace marquill::shell

// The add-in's values in the Windows registry: string values under the key path, in the machine's
// hive (HKEY_LOCAL_MACHINE) as the add-in keeps them, or in the user's (HKEY_CURRENT_USER) when
// the machine's cannot be written, as for a user without administrator rights.
#pragma once

#include <windows.h>

#include "shell/settings/settings_store.h"

namespace marquill::shell {

class RegistrySettingsStore : public SettingsStore {
 public:
  // The two hives are open keys the store does not close; tests give keys of their own.
  explicit RegistrySettingsStore(HKEY machine = HKEY_LOCAL_MACHINE, HKEY user = HKEY_CURRENT_USER);

  // The user's value when there is one (it was saved while the machine's hive was closed, so
  // it is the newer), else the machine's.
  std::string GetRegString(std::string_view key, std::string_view name) override;
  // Into the machine's hive, dropping the user's copy that would hide it; into the user's hive
  // when the machine's cannot be written.
  void SaveRegString(std::string_view key, std::string_view name, std::string_view text) override;

 private:
  HKEY machine_;
  HKEY user_;
};

}  // namespace marquill::shell

// The folders of a Windows system: the add-in keeps its files beside the program, as an add-in
// installed with its DLL does, unless that folder is closed to the user (Program Files), when
// they go to the user's roaming application data.
#include <windows.h>

#include <string>

#include "host/paths/paths_win.h"

namespace marquill::host {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) throw PathError("cannot find the program's own file name");
    if (length < name.size()) {
      name.resize(length);
      return fs::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

bool CanCreateFilesIn(const fs::path& folder) {
  const fs::path probe = folder / (L".marquill-probe-" + std::to_wstring(GetCurrentProcessId()));
  const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

fs::path WindowsAddInFolder(const fs::path& program_folder, const EnvLookup& env) {
  if (CanCreateFilesIn(program_folder)) return AsFolder(program_folder);
  if (const auto roaming = NonEmptySetting(env, "APPDATA")) {
    return AsFolder(fs::path(*roaming) / "Marquill");
  }
  throw PathError("the program's folder cannot be written and APPDATA is not set; set MARQUILL_HOME");
}

fs::path AddInFolder(const EnvLookup& env) {
  if (const auto home = NonEmptySetting(env, "MARQUILL_HOME")) return AsFolder(fs::absolute(*home));
  return WindowsAddInFolder(ProgramFolder(), env);
}

fs::path SettingsFolder(const EnvLookup& env) {
  if (const auto roaming = NonEmptySetting(env, "APPDATA")) {
    return AsFolder(fs::path(*roaming) / "Marquill");
  }
  throw PathError("APPDATA is not set; set MARQUILL_HOME");
}

}  // namespace marquill::host

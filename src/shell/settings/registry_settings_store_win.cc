#include "shell/settings/registry_settings_store.h"

#include <optional>
#include <string>

#include "host/platform/windows_text.h"

namespace marquill::shell {

using host::Utf8FromWide;
using host::WideFromUtf8;

namespace {

// Closes the key on every path out.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::optional<std::wstring> ReadValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  Key open;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, open.Out()) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(open.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(open.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // A registry string may or may not carry its NUL; the text ends at the first one either way.
  value.resize(value.find(L'\0') == std::wstring::npos ? value.size() : value.find(L'\0'));
  return value;
}

bool WriteValue(HKEY root, const std::wstring& key, const std::wstring& name,
                const std::wstring& value) {
  Key open;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, open.Out(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(open.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  Key open;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, open.Out()) == ERROR_SUCCESS)
    RegDeleteValueW(open.get(), name.c_str());
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(HKEY machine, HKEY user)
    : machine_(machine), user_(user) {}

std::string RegistrySettingsStore::GetRegString(std::string_view key, std::string_view name) {
  const std::wstring wide_key = WideFromUtf8(key);
  const std::wstring wide_name = WideFromUtf8(name);
  std::optional<std::wstring> value = ReadValue(user_, wide_key, wide_name);
  if (!value) value = ReadValue(machine_, wide_key, wide_name);
  return value ? Utf8FromWide(*value) : std::string();
}

void RegistrySettingsStore::SaveRegString(std::string_view key, std::string_view name,
                                          std::string_view text) {
  if (name.empty()) return;
  const std::wstring wide_key = WideFromUtf8(key);
  const std::wstring wide_name = WideFromUtf8(name);
  const std::wstring value = WideFromUtf8(text.substr(0, text.find('\0')));
  if (WriteValue(machine_, wide_key, wide_name, value)) {
    DeleteValue(user_, wide_key, wide_name);
    return;
  }
  // The add-in ignores a failed settings write, so a failure here is not reported either.
  WriteValue(user_, wide_key, wide_name, value);
}

}  // namespace marquill::shell

#include "shell/settings/registry_settings_store.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/settings/system_settings.h"

namespace marquill::shell {
namespace {

// The value as Windows itself reads it, or nullopt.
std::optional<std::wstring> Stored(HKEY root, const std::wstring& key, const std::wstring& name) {
  wchar_t value[256] = {};
  DWORD bytes = sizeof(value);
  if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

const std::wstring kKey = L"SOFTWARE\\Talvenor\\VBMarquill";

// Two keys of the test's own stand for the machine's and the user's hives.
class RegistryStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    base_ = L"Software\\MarquillTests\\" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (base_ + L"\\machine").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &machine_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (base_ + L"\\user").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &user_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (machine_ != nullptr) RegCloseKey(machine_);
    if (user_ != nullptr) RegCloseKey(user_);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\MarquillTests");
  }

  std::wstring base_;
  HKEY machine_ = nullptr;
  HKEY user_ = nullptr;
};

TEST_F(RegistryStoreTest, ValuesComeBackAsTheyWereSaved) {
  struct Row {
    const char* name;
    std::string saved;
    std::string read;
  };
  const std::vector<Row> rows = {
      {"Tab", "3", "3"},
      {"Top", "-120", "-120"},
      {"Left", "", ""},
      {"Spaces", "  a b  ", "  a b  "},
      {"CutAtNul", std::string("12\0 34", 6), "12"},
  };
  RegistrySettingsStore store(machine_, user_);
  for (const Row& row : rows) store.SaveRegString("SOFTWARE\\Talvenor\\VBMarquill", row.name, row.saved);
  RegistrySettingsStore reopened(machine_, user_);
  for (const Row& row : rows) {
    EXPECT_EQ(reopened.GetRegString("SOFTWARE\\Talvenor\\VBMarquill", row.name), row.read)
        << row.name;
  }
  EXPECT_EQ(reopened.GetRegString("SOFTWARE\\Talvenor\\VBMarquill", "Missing"), "");
  EXPECT_EQ(reopened.GetRegString("SOFTWARE\\Other", "Tab"), "");
}

TEST_F(RegistryStoreTest, SavesGoToTheMachineHiveWhenItCanBeWritten) {
  RegistrySettingsStore store(machine_, user_);
  store.SaveRegString("SOFTWARE\\Talvenor\\VBMarquill", "Tab", "2");
  EXPECT_EQ(Stored(machine_, kKey, L"Tab"), L"2");
  EXPECT_EQ(Stored(user_, kKey, L"Tab"), std::nullopt);
}

TEST_F(RegistryStoreTest, AClosedMachineHiveSendsSavesToTheUsersHive) {
  // A handle that names no open key stands for a hive the user may not write.
  const HKEY closed = machine_;
  RegCloseKey(machine_);
  machine_ = nullptr;
  RegistrySettingsStore store(closed, user_);
  store.SaveRegString("SOFTWARE\\Talvenor\\VBMarquill", "Left", "480");
  EXPECT_EQ(Stored(user_, kKey, L"Left"), L"480");
  EXPECT_EQ(store.GetRegString("SOFTWARE\\Talvenor\\VBMarquill", "Left"), "480");
}

TEST_F(RegistryStoreTest, TheUsersValueWinsUntilTheMachineHiveTakesANewerOne) {
  ASSERT_EQ(RegSetKeyValueW(machine_, kKey.c_str(), L"Top", REG_SZ, L"10", 3 * sizeof(wchar_t)),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeyValueW(user_, kKey.c_str(), L"Top", REG_SZ, L"20", 3 * sizeof(wchar_t)),
            ERROR_SUCCESS);
  RegistrySettingsStore store(machine_, user_);
  EXPECT_EQ(store.GetRegString("SOFTWARE\\Talvenor\\VBMarquill", "Top"), "20");
  store.SaveRegString("SOFTWARE\\Talvenor\\VBMarquill", "Top", "30");
  EXPECT_EQ(store.GetRegString("SOFTWARE\\Talvenor\\VBMarquill", "Top"), "30");
  EXPECT_EQ(Stored(user_, kKey, L"Top"), std::nullopt) << "the user's older copy is dropped";
}

TEST_F(RegistryStoreTest, ANonStringValueReadsAsMissing) {
  const DWORD number = 7;
  ASSERT_EQ(RegSetKeyValueW(machine_, kKey.c_str(), L"Tab", REG_DWORD, &number, sizeof(number)),
            ERROR_SUCCESS);
  RegistrySettingsStore store(machine_, user_);
  EXPECT_EQ(store.GetRegString("SOFTWARE\\Talvenor\\VBMarquill", "Tab"), "");
}

// The program's own store is the registry under the add-in's key in the machine's hive.
TEST(SystemSettingsTest, TheProgramKeepsItsValuesUnderTheMachinesKey) {
  const std::wstring name = L"MarquillTestValue";
  std::unique_ptr<SettingsStore> store = OpenSystemSettings(nullptr);
  store->SaveRegString(kSettingsKey, "MarquillTestValue", "5");
  const bool in_machine = Stored(HKEY_LOCAL_MACHINE, kKey, name) == L"5";
  const bool in_user = Stored(HKEY_CURRENT_USER, kKey, name) == L"5";
  EXPECT_TRUE(in_machine || in_user);
  EXPECT_EQ(store->GetRegString(kSettingsKey, "MarquillTestValue"), "5");
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kKey.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, name.c_str());
      RegCloseKey(key);
    }
  }
  EXPECT_EQ(SystemSettingsPlace(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Talvenor\\VBMarquill");
}

}  // namespace
}  // namespace marquill::shell

#include "shell/settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "host/files/file_io.h"
#include "shell_test_util.h"
#include "support/accounts.h"

namespace marquill::shell {
namespace {

using testing_util::TempFolder;

TEST(IniSettingsStoreTest, ValuesRoundTripUnderTheirKeyAndMissingOnesReadEmpty) {
  TempFolder temp("settings");
  IniSettingsStore store(temp.Folder() + "nested/");
  EXPECT_EQ(store.GetRegString(kSettingsKey, "Tab"), "");  // no file yet
  store.SaveRegString(kSettingsKey, "Tab", "2");
  store.SaveRegString(kSettingsKey, "Top", "1234.5");
  store.SaveRegString("SOFTWARE\\Other", "Tab", "5");
  store.SaveRegString(kSettingsKey, "Tab", "3");

  IniSettingsStore reopened(temp.Folder() + "nested/");
  EXPECT_EQ(reopened.GetRegString(kSettingsKey, "Tab"), "3");
  EXPECT_EQ(reopened.GetRegString(kSettingsKey, "Top"), "1234.5");
  EXPECT_EQ(reopened.GetRegString("SOFTWARE\\Other", "Tab"), "5");
  EXPECT_EQ(reopened.GetRegString(kSettingsKey, "Left"), "");
  EXPECT_EQ(reopened.GetRegString("SOFTWARE\\Missing", "Tab"), "");
}

TEST(IniSettingsStoreTest, TheFileHasOneSectionNamedByTheKeyPath) {
  TempFolder temp("settings");
  IniSettingsStore store(temp.Folder());
  store.SaveRegString(kSettingsKey, "Tab", "7");
  store.SaveRegString(kSettingsKey, "Left", "90");
  EXPECT_EQ(host::ReadWholeFile(store.Path()).value_or(""),
            "[SOFTWARE\\Talvenor\\VBMarquill]\nLeft=90\nTab=7\n");
}

TEST(IniSettingsStoreTest, LineBreaksAndBackslashesSurviveAndANulEndsTheValue) {
  TempFolder temp("settings");
  IniSettingsStore store(temp.Folder());
  store.SaveRegString(kSettingsKey, "Text", "a\\b\r\nc=d");
  store.SaveRegString(kSettingsKey, "Cut", std::string("abc\0def", 7));
  EXPECT_EQ(store.GetRegString(kSettingsKey, "Text"), "a\\b\r\nc=d");
  EXPECT_EQ(store.GetRegString(kSettingsKey, "Cut"), "abc");
}

TEST(IniSettingsStoreTest, HandEditedFilesReadAsARegistryWould) {
  IniSections sections = ParseIni(
      "; a comment\r\n[SOFTWARE\\Talvenor\\VBMarquill]\r\nTab=4\r\nnot a value\r\n"
      "Top=12\\0junk\r\n=orphan\r\n");
  EXPECT_EQ(sections["SOFTWARE\\Talvenor\\VBMarquill"]["Tab"], "4");
  EXPECT_EQ(sections["SOFTWARE\\Talvenor\\VBMarquill"]["Top"], "12");
  EXPECT_EQ(sections["SOFTWARE\\Talvenor\\VBMarquill"].size(), 2u);
}

// A FIFO would block every read and a device would be read until memory ran out; neither may be
// replaced by a settings file either.
TEST(IniSettingsStoreTest, ASettingsFileThatIsNoRegularFileIsIgnoredWithOneWarning) {
  struct Case {
    const char* name;
    void (*make)(const std::filesystem::path& settings);
    const char* warning;
  };
  const Case cases[] = {
      {"FIFO", [](const std::filesystem::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); },
       "settings file not a regular file (a FIFO): ignored, defaults used"},
      {"link to a device",
       [](const std::filesystem::path& p) { std::filesystem::create_symlink("/dev/zero", p); },
       "settings file not a regular file (a character device): ignored, defaults used"},
      {"folder", [](const std::filesystem::path& p) { std::filesystem::create_directory(p); },
       "settings file not a regular file (a folder): ignored, defaults used"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp("settings");
    const std::filesystem::path settings = temp.path() / "settings.ini";
    c.make(settings);
    std::vector<std::string> warnings;
    IniSettingsStore store(temp.Folder(), [&](const std::string& w) { warnings.push_back(w); });
    EXPECT_EQ(store.GetRegString(kSettingsKey, "Tab"), "");
    store.SaveRegString(kSettingsKey, "Tab", "3");
    EXPECT_EQ(store.GetRegString(kSettingsKey, "Tab"), "");
    EXPECT_EQ(warnings, std::vector<std::string>{c.warning});
    EXPECT_NE(host::NotARegularFile(settings.string()), "") << "left as it was";
  }
}

TEST(IniSettingsStoreTest, AFailedWriteIsIgnoredAndTheOldValueStays) {
  TempFolder temp("settings");
  IniSettingsStore store(temp.Folder());
  store.SaveRegString(kSettingsKey, "Tab", "1");
  chmod(temp.path().c_str(), 0555);
  const int outcome = test::AsOrdinaryAccount([&] {
    store.SaveRegString(kSettingsKey, "Tab", "6");
    return store.GetRegString(kSettingsKey, "Tab") == "1";
  });
  chmod(temp.path().c_str(), 0755);
  EXPECT_EQ(outcome, 0) << "1: the failed write changed the value; 2: no account";
  EXPECT_EQ(store.GetRegString(kSettingsKey, "Tab"), "1");
}

}  // namespace
}  // namespace marquill::shell

#include "shell/settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "host/files/file_io.h"
#include "shell_test_util.h"

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

TEST(IniSettingsStoreTest, AFailedWriteIsIgnoredAndTheOldValueStays) {
  TempFolder temp("settings");
  IniSettingsStore store(temp.Folder());
  store.SaveRegString(kSettingsKey, "Tab", "1");
  chmod(temp.path().c_str(), 0555);
  // Root writes into read-only folders, so the check runs in a child process that drops to an
  // ordinary account when it starts as root.
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
    store.SaveRegString(kSettingsKey, "Tab", "6");
    _exit(store.GetRegString(kSettingsKey, "Tab") == "1" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  chmod(temp.path().c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the failed write changed the value; 2: no account";
  EXPECT_EQ(store.GetRegString(kSettingsKey, "Tab"), "1");
}

}  // namespace
}  // namespace marquill::shell

#include "shell/settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

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
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempFolder temp("settings");
  IniSettingsStore store(temp.Folder());
  store.SaveRegString(kSettingsKey, "Tab", "1");
  chmod(temp.path().c_str(), 0555);
  store.SaveRegString(kSettingsKey, "Tab", "6");
  chmod(temp.path().c_str(), 0755);
  EXPECT_EQ(store.GetRegString(kSettingsKey, "Tab"), "1");
}

TEST(AtomicFileTest, AFailedWriteLeavesTheTargetAndNoTemporaryBehind) {
  TempFolder temp("atomic");
  std::string target = temp.Folder() + "file.txt";
  host::WriteFileAtomically(target, "first");
  host::WriteFileAtomically(target, "second");
  EXPECT_EQ(host::ReadWholeFile(target).value_or(""), "second");
  EXPECT_THROW(host::WriteFileAtomically(temp.Folder() + "missing/file.txt", "x"), std::system_error);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(temp.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(AtomicFileTest, AppendAddsToTheEndAndCreatesAMissingFile) {
  TempFolder temp("append");
  std::string log = temp.Folder() + "p.logs";
  host::AppendToFile(log, "a\r\n");
  host::AppendToFile(log, "b\r\n");
  EXPECT_EQ(host::ReadWholeFile(log).value_or(""), "a\r\nb\r\n");
}

}  // namespace
}  // namespace marquill::shell

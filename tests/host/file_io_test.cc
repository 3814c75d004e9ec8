#include "host/files/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "vbfiles_test_support.h"

namespace marquill::host {
namespace {

namespace fs = std::filesystem;
using vbfiles::testing::ScratchDir;

int FilesIn(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    (void)entry;
    ++count;
  }
  return count;
}

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(WriteFileAtomicallyTest, AFailedWriteLeavesTheTargetAndNoTemporaryBehind) {
  ScratchDir scratch;
  const std::string target = (scratch / "file.txt").string();
  WriteFileAtomically(target, "first");
  WriteFileAtomically(target, "second");
  EXPECT_EQ(ReadWholeFile(target).value_or(""), "second");
  EXPECT_THROW(WriteFileAtomically((scratch / "missing/file.txt").string(), "x"),
               std::system_error);
  // A folder where the file should be: the folder stays, and nothing is left beside it.
  fs::create_directory(scratch / "folder");
  EXPECT_THROW(WriteFileAtomically((scratch / "folder").string(), "x"), std::system_error);
  EXPECT_TRUE(fs::is_directory(scratch / "folder"));
  EXPECT_EQ(FilesIn(scratch.path()), 2);
}

TEST(WriteFileAtomicallyTest, AReplacedFileKeepsItsPermissionsAndANewOneIsReadableByAll) {
  ScratchDir scratch;
  const fs::path kept = scratch / "private.ini";
  WriteFileAtomically(kept.string(), "a");
  ASSERT_EQ(::chmod(kept.c_str(), 0600), 0);
  WriteFileAtomically(kept.string(), "b");
  EXPECT_EQ(ModeOf(kept), 0600u);

  const fs::path fresh = scratch / "new.htm";
  WriteFileAtomically(fresh.string(), "c");
  EXPECT_EQ(ModeOf(fresh), 0644u);
}

TEST(WriteFileAtomicallyTest, ALinkStaysALinkAndItsTargetIsReplaced) {
  ScratchDir scratch;
  const std::string target = (scratch.path() / "real.ini").string();
  const std::string link = (scratch.path() / "settings.ini").string();
  WriteFileAtomically(target, "old");
  fs::create_symlink("real.ini", link);
  WriteFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(FilesIn(scratch.path()), 2) << "no temporary left behind";
  EXPECT_EQ(ReadWholeFile(target).value_or(""), "new");
}

TEST(ReadWholeFileTest, GivesTheBytesOrNothingWhenTheFileCannotBeRead) {
  ScratchDir scratch;
  const fs::path file = scratch / "bytes.bin";
  std::string bytes("a\0b\r\nc\r", 7);
  bytes += std::string(200000, 'x');  // more than one read
  vbfiles::testing::WriteBytes(file, bytes);
  EXPECT_EQ(ReadWholeFile(file.string()), bytes);

  vbfiles::testing::WriteBytes(scratch / "empty.txt", "");
  EXPECT_EQ(ReadWholeFile((scratch / "empty.txt").string()), "");
  EXPECT_EQ(ReadWholeFile((scratch / "none.txt").string()), std::nullopt);
  // A folder is not an empty file.
  EXPECT_EQ(ReadWholeFile(scratch.path().string()), std::nullopt);
}

TEST(ReadWholeFileTest, AnUnreadableFileGivesNothingEvenWhenTheTestRunsAsRoot) {
  ScratchDir scratch;
  const fs::path file = scratch / "secret.txt";
  vbfiles::testing::WriteBytes(file, "hidden");
  ASSERT_EQ(::chmod(file.c_str(), 0200), 0);
  ASSERT_EQ(::chmod(scratch.path().c_str(), 0755), 0);
  // Root reads any file, so the check runs in a child process as an ordinary account.
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) _exit(2);
    _exit(ReadWholeFile(file.string()) == std::nullopt ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the file was read; 2: no ordinary account";
}

TEST(AppendToFileTest, AddsToTheEndAndCreatesAMissingFile) {
  ScratchDir scratch;
  const std::string log = (scratch / "p.logs").string();
  AppendToFile(log, "a\r\n");
  AppendToFile(log, "b\r\n");
  EXPECT_EQ(ReadWholeFile(log).value_or(""), "a\r\nb\r\n");
  EXPECT_THROW(AppendToFile((scratch / "missing/p.logs").string(), "x"), std::system_error);
}

}  // namespace
}  // namespace marquill::host

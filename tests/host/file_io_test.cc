#include "host/files/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

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

// What ReadFile refuses, and the reason it gives: none of these may block or be read into memory.
TEST(ReadFileTest, OnlyRegularFilesAndLinksToThemAreRead) {
  ScratchDir scratch;
  vbfiles::testing::WriteBytes(scratch / "real.bas", "code");
  fs::create_symlink("real.bas", scratch / "link.bas");
  fs::create_symlink("link.bas", scratch / "link2.bas");
  fs::create_symlink("/dev/zero", scratch / "zero.bas");
  ASSERT_EQ(::mkfifo((scratch / "pipe.bas").c_str(), 0644), 0);
  fs::create_symlink("pipe.bas", scratch / "pipe_link.bas");
  fs::create_directory(scratch / "folder.bas");
  struct Case {
    const char* name;
    std::string path;
    const char* expected;  // the bytes, or the start of the reason when refused
    bool refused;
  };
  const std::vector<Case> cases = {
      {"regular file", (scratch / "real.bas").string(), "code", false},
      {"link to it", (scratch / "link.bas").string(), "code", false},
      {"link to a link", (scratch / "link2.bas").string(), "code", false},
      {"FIFO", (scratch / "pipe.bas").string(), "not a regular file (a FIFO)", true},
      {"link to a FIFO", (scratch / "pipe_link.bas").string(), "not a regular file (a FIFO)", true},
      {"character device", "/dev/zero", "not a regular file (a character device)", true},
      {"link to a device", (scratch / "zero.bas").string(), "not a regular file (a character",
       true},
      {"folder", (scratch / "folder.bas").string(), "not a regular file (a folder)", true},
      {"missing", (scratch / "none.bas").string(), "No such file", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.refused) {
      EXPECT_EQ(ReadFile(c.path), c.expected);
      EXPECT_EQ(NotARegularFile(c.path), "");
      continue;
    }
    try {
      ReadFile(c.path);
      ADD_FAILURE() << "read";
    } catch (const ReadError& error) {
      EXPECT_TRUE(error.reason().starts_with(c.expected)) << error.reason();
      EXPECT_TRUE(std::string(error.what()).starts_with(c.path)) << error.what();
    }
    EXPECT_EQ(ReadWholeFile(c.path), std::nullopt);
    if (std::string(c.name) != "missing") {
      EXPECT_NE(NotARegularFile(c.path), "");
    }
  }
}

TEST(ReadFileTest, AFileOverTheLimitIsRefusedBeforeItIsRead) {
  ScratchDir scratch;
  const fs::path file = scratch / "big.bas";
  vbfiles::testing::WriteBytes(file, std::string(100, 'x'));
  EXPECT_EQ(ReadFile(file.string(), 100).size(), 100u);
  EXPECT_THROW(ReadFile(file.string(), 99), ReadError);
  // A sparse file past the real limit costs no disk and must not be read at all.
  const fs::path sparse = scratch / "sparse.bas";
  vbfiles::testing::WriteBytes(sparse, "");
  ASSERT_EQ(::truncate(sparse.c_str(), static_cast<off_t>(kMaxReadBytes) + 1), 0);
  EXPECT_THROW(ReadFile(sparse.string()), ReadError);
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

// A file interface for tests that fails, or cuts short, the calls of a file transaction.
#pragma once

#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "host/files/file_transaction.h"

namespace marquill::host::testing {

// Fails or cuts short the file system calls of a transaction. `die_at` counts calls: the call of
// that number and every later one do nothing, as if the process had been killed there (a write
// cut short writes half its bytes first). `fail_rename_of` makes renames onto that file fail.
class FaultyOps : public FileOps {
 public:
  int die_at = -1;
  std::string fail_rename_of;
  std::string die_renaming_onto;  // the kill comes at the rename onto this file
  std::atomic<int> calls{0};
  bool rename_refused = false;            // the failing rename happened before the kill
  std::vector<std::string> renamed_onto;  // the renames that went through, in order

  int CreateTemporaryBeside(const std::string& target, std::string& path) override {
    return Dead() ? Fail() : FileOps::CreateTemporaryBeside(target, path);
  }
  bool WriteAll(int fd, std::string_view bytes) override {
    if (Dead()) {
      FileOps::WriteAll(fd, bytes.substr(0, bytes.size() / 2));
      return Fail() == 0;
    }
    return FileOps::WriteAll(fd, bytes);
  }
  int Chmod(int fd, mode_t mode) override { return Dead() ? Fail() : FileOps::Chmod(fd, mode); }
  int Sync(int fd) override { return Dead() ? Fail() : FileOps::Sync(fd); }
  int Close(int fd) override {
    FileOps::Close(fd);  // a killed process's files are closed too
    return 0;
  }
  int Link(const std::string& from, const std::string& to) override {
    return Dead() ? Fail() : FileOps::Link(from, to);
  }
  int Rename(const std::string& from, const std::string& to) override {
    if (to == die_renaming_onto) die_at = 0;
    if (Dead()) return Fail();
    if (!fail_rename_of.empty() && to == fail_rename_of) {
      rename_refused = true;
      errno = EPERM;
      return -1;
    }
    const int result = FileOps::Rename(from, to);
    if (result == 0) renamed_onto.push_back(to);
    return result;
  }
  int Unlink(const std::string& path) override { return Dead() ? Fail() : FileOps::Unlink(path); }
  int SyncFolder(const std::string& folder) override {
    return Dead() ? Fail() : FileOps::SyncFolder(folder);
  }

 private:
  bool Dead() { return die_at >= 0 && calls++ >= die_at; }
  static int Fail() {
    errno = EIO;
    return -1;
  }
};

}  // namespace marquill::host::testing

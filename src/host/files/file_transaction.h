// Several files replaced as one: after a failure, or a kill at any moment, either every file of
// the set holds its new contents or every file holds its old ones.
//
// A transaction writes each new file to a temporary beside its target and keeps a second name (a
// hard link) of each old file. It then writes a journal listing the pairs, atomically and flushed
// to disk: that is the moment of commit. The temporaries are renamed over their targets, and the
// journal and the old names are removed. A process killed before the journal leaves only
// temporaries (the targets are untouched); one killed after it leaves a journal that
// RecoverInterrupted() follows to the end. When a rename fails, the journal is turned into one
// that puts the old files back, and they are put back.
//
// Only the journal is flushed to disk; the temporaries are not, one by one (for a large project
// that would cost more than the rest of the save). A kill leaves their bytes in the system's
// cache, so they are whole. After a power cut they may not be: the journal holds each new file's
// size, and a recovery that finds one short puts every old file back instead, which the old names
// make possible until the very end.
//
// Temporaries are named ".NAME.marquill-XXXXXX" beside NAME; the old names add ".old".
#pragma once

#include <sys/types.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace marquill::host {

// The file system calls a transaction makes, so that tests can fail or cut short any of them.
// Each returns what the POSIX call returns (errno set on failure).
class FileOps {
 public:
  virtual ~FileOps() = default;
  // mkstemp of ".NAME.marquill-XXXXXX" beside `target`; fills `path`.
  virtual int CreateTemporaryBeside(const std::string& target, std::string& path);
  virtual bool WriteAll(int fd, std::string_view bytes);
  virtual int Chmod(int fd, mode_t mode);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Link(const std::string& from, const std::string& to);
  virtual int Rename(const std::string& from, const std::string& to);
  virtual int Unlink(const std::string& path);
  // Flushes a folder's entries (the renames and creations in it) to disk.
  virtual int SyncFolder(const std::string& folder);
};
FileOps& SystemFileOps();

// Why a transaction did not happen. No target holds new contents when it is thrown.
class TransactionError : public std::runtime_error {
 public:
  TransactionError(std::string message, std::vector<std::string> read_only = {})
      : std::runtime_error(std::move(message)), read_only_(std::move(read_only)) {}
  // The targets that were not written because they are read-only.
  const std::vector<std::string>& read_only() const { return read_only_; }

 private:
  std::vector<std::string> read_only_;
};

// True when the file exists and must not be written: no write permission bit is set (the
// read-only attribute of files from Windows and of files locked by source control), or this
// process may not write it.
bool IsReadOnlyFile(const std::string& path);

// The journal of the transactions on a project: ".NAME.marquill-journal" beside its main file.
std::string JournalBeside(const std::string& main_file);

class FileTransaction {
 public:
  explicit FileTransaction(std::string journal, FileOps& ops = SystemFileOps());
  FileTransaction(const FileTransaction&) = delete;
  FileTransaction& operator=(const FileTransaction&) = delete;
  // Removes the temporaries of a transaction not committed.
  ~FileTransaction();

  // Writes the new contents of `target` (a link is followed: the file it names is replaced) to a
  // temporary. A read-only target is noted and left; Commit() then refuses. Throws
  // TransactionError when the temporary cannot be written. Safe to call from several threads.
  void Stage(const std::string& target, std::string_view bytes);
  // Replaces every staged target, or none (TransactionError says which file stopped it).
  void Commit();

 private:
  struct Staged {
    std::string target;  // the file itself, links followed
    std::string temp;
    std::string old;  // a second name of the old file; empty when the target is new
    std::size_t size = 0;
  };
  void KeepOldFiles();
  void WriteJournal(char direction);
  // False when some file could not be put back; the journal then stays for the next run.
  bool PutBack(std::size_t replaced);
  void RemoveJournal();
  void Discard();

  std::string journal_;
  FileOps& ops_;
  std::mutex mutex_;
  std::vector<Staged> staged_;
  std::vector<std::string> read_only_;
  std::string failure_;  // the first Stage() failure
  bool journal_written_ = false;
};

// What the next run found of an interrupted transaction.
struct Recovery {
  enum class Outcome { kNothing, kCompleted, kRolledBack };  // rolled back: old files put back
  Outcome outcome = Outcome::kNothing;
  std::size_t files = 0;              // files the journal named
  std::vector<std::string> problems;  // steps that failed; the journal is then kept
};

// Follows a journal left by a killed transaction: completes it (or, when it was putting files
// back, finishes that) and removes it with the old names and temporaries it lists.
Recovery RecoverInterrupted(const std::string& journal, FileOps& ops = SystemFileOps());

// Removes temporaries and old names of ours left beside the given files (".NAME.marquill-XXXXXX"
// and ".NAME.marquill-XXXXXX.old" where NAME is one of the files, or shares its stem with one,
// as side files do). Call it only when no journal is left. Returns how many were removed.
std::size_t RemoveStrayTemporaries(const std::vector<std::string>& files,
                                   FileOps& ops = SystemFileOps());

// Holds an exclusive lock on a folder while a transaction or a recovery works in it, so that two
// runs on one project never take each other's temporaries for strays.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace marquill::host

// The few POSIX calls the file and console code makes, given Windows meaning for MinGW builds.
//
// Every translation unit of the Windows build includes this header first (the toolchain passes
// it with -include), so the POSIX code paths compile unchanged and get the Windows calls that
// keep their promises: rename() replaces its target in one step (MoveFileEx, defined in place of
// the C runtime's, which refuses an existing target, since <cstdio> undoes macros), flushing is
// FlushFileBuffers, a lock is LockFileEx, a hard link is CreateHardLinkW. Narrow names are UTF-8,
// as everywhere in the program: the runtime's narrow file calls are replaced by ones that take
// UTF-8 and call the wide Windows functions.
#pragma once

#ifdef _WIN32

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_DIRECTORY
// The C runtime cannot open folders: such an open fails, and callers go on without the folder
// (its flush and its lock are best effort).
#define O_DIRECTORY 0
#endif
#ifndef X_OK
#define X_OK 0
#endif
#ifndef S_ISSOCK
#define S_ISSOCK(mode) 0
#endif
#ifndef S_ISLNK
#define S_ISLNK(mode) 0
#endif

#ifdef __cplusplus
extern "C" {
#endif
int marquill_win_fsync(int fd);
int marquill_win_link(const char* from, const char* to);
int marquill_win_fchmod(int fd, unsigned mode);
char* mkdtemp(char* pattern);
#ifdef __cplusplus
}
#endif

#define fsync(fd) marquill_win_fsync(fd)
#define fdatasync(fd) marquill_win_fsync(fd)
#define link(from, to) marquill_win_link(from, to)
// Windows keeps no Unix mode bits on an open file; read-only is an attribute of the name.
#define fchmod(fd, mode) marquill_win_fchmod(fd, mode)
#define lstat(path, info) stat(path, info)

#endif  // _WIN32

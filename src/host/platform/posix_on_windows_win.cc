#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/platform/win_include/fnmatch.h"
#include "host/platform/win_include/iconv.h"
#include "host/platform/win_include/spawn.h"
#include "host/platform/win_include/sys/file.h"

namespace {

// The errno a C caller expects for the last Windows error; a file another program holds open
// (a sharing violation) reads as "busy", so the message says so rather than "permission denied".
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EBUSY;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    default:
      return EIO;
  }
}

int FailWithLastError() {
  errno = ErrnoOf(GetLastError());
  return -1;
}

// Matches a bracket expression at `pattern` (just past '[') against `c`; advances `pattern` past
// the closing ']'. A '[' without one is an ordinary character.
bool MatchesSet(const char*& pattern, char c, bool& is_set) {
  const char* p = pattern;
  const bool negated = (*p == '!' || *p == '^');
  if (negated) ++p;
  bool found = false;
  bool first = true;
  for (; *p && (first || *p != ']'); ++p, first = false) {
    if (p[1] == '-' && p[2] && p[2] != ']') {
      if (c >= p[0] && c <= p[2]) found = true;
      p += 2;
    } else if (*p == c) {
      found = true;
    }
  }
  is_set = (*p == ']');
  if (!is_set) return c == '[';
  pattern = p + 1;
  return found != negated;
}

bool Match(const char* pattern, const char* text, int flags) {
  for (; *pattern; ++text) {
    const char c = *pattern;
    if (c == '*') {
      while (*pattern == '*') ++pattern;
      if (!*pattern) return !(flags & FNM_PATHNAME) || !strchr(text, '/');
      for (const char* rest = text; *rest; ++rest) {
        if (Match(pattern, rest, flags)) return true;
        if ((flags & FNM_PATHNAME) && *rest == '/') return false;
      }
      return false;
    }
    if (!*text) return false;
    if (c == '?') {
      if ((flags & FNM_PATHNAME) && *text == '/') return false;
      ++pattern;
    } else if (c == '[') {
      const char* after = pattern + 1;
      bool is_set = false;
      if (!MatchesSet(after, *text, is_set)) return false;
      pattern = is_set ? after : pattern + 1;
    } else {
      if (c == '\\' && !(flags & FNM_NOESCAPE) && pattern[1]) ++pattern;
      if (*pattern != *text) return false;
      ++pattern;
    }
  }
  return !*text;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// Files and the standard streams in binary mode, as on Linux: no line ending is ever rewritten,
// so what the program prints and writes is byte for byte the Linux build's.
const bool kBinaryMode = [] {
  _fmode = _O_BINARY;
  for (int fd : {0, 1, 2}) _setmode(fd, _O_BINARY);
  return true;
}();

}  // namespace

namespace {

std::wstring WideName(const char* name) {
  const int size = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), size);
  wide.resize(wide.size() - 1);
  return wide;
}

bool IsExistingFile(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// Replaces the target in one step, as rename(2) does. An existing file is replaced with
// ReplaceFile, which keeps what Windows knows of it beyond its bytes (its security, its other
// attributes, its creation time); a new name, or a file ReplaceFile will not take (another
// volume, a second name kept of the old file), is moved with MoveFileEx. Both leave the target
// whole when they fail: a file another program holds open fails with a sharing violation, and
// nothing was written over it.
extern "C" int rename(const char* from, const char* to) {
  const std::wstring source = WideName(from);
  const std::wstring target = WideName(to);
  if (IsExistingFile(target)) {
    // A file another program holds open without sharing its removal cannot be replaced. Asked
    // first, that leaves nothing behind, where a failed ReplaceFile may leave a scratch file.
    const HANDLE probe = CreateFileW(target.c_str(), DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
      return FailWithLastError();
    if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
    if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return 0;
    }
    // Every other failure of ReplaceFile without a backup name leaves both files under their
    // own names (one whose old file has a second name, say), so MoveFileEx may still do it.
    if (GetLastError() == ERROR_SHARING_VIOLATION) return FailWithLastError();
  }
  // The write-through flag returns only once the new name is on disk.
  if (MoveFileExW(source.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return 0;
  }
  return FailWithLastError();
}

extern "C" int marquill_win_fsync(int fd) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  return FlushFileBuffers(handle) ? 0 : FailWithLastError();
}

extern "C" int marquill_win_link(const char* from, const char* to) {
  return CreateHardLinkA(to, from, nullptr) ? 0 : FailWithLastError();
}

extern "C" int fnmatch(const char* pattern, const char* text, int flags) {
  return Match(pattern, text, flags) ? 0 : FNM_NOMATCH;
}

extern "C" char* mkdtemp(char* pattern) {
  const std::string original = pattern;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::memcpy(pattern, original.c_str(), original.size() + 1);
    if (_mktemp_s(pattern, original.size() + 1) != 0) return nullptr;
    if (CreateDirectoryA(pattern, nullptr)) return pattern;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      FailWithLastError();
      return nullptr;
    }
  }
  errno = EEXIST;
  return nullptr;
}

// The handle is the code page itself, offset by one so that no valid handle is null.
extern "C" iconv_t iconv_open(const char* to, const char* from) {
  unsigned code_page = 0;
  if (std::strcmp(to, "UTF-8") != 0 || std::sscanf(from, "CP%u", &code_page) != 1 ||
      !IsValidCodePage(code_page)) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  return reinterpret_cast<iconv_t>(static_cast<uintptr_t>(code_page) + 1);
}

extern "C" size_t iconv(iconv_t cd, char** in, size_t* in_left, char** out, size_t* out_left) {
  if (in == nullptr || *in == nullptr || *in_left == 0) return 0;
  const auto code_page = static_cast<UINT>(reinterpret_cast<uintptr_t>(cd) - 1);
  const int in_size = static_cast<int>(*in_left);
  const int wide_size = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, *in, in_size,
                                            nullptr, 0);
  if (wide_size <= 0) {
    errno = EILSEQ;
    return static_cast<size_t>(-1);
  }
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, *in, in_size, wide.data(), wide_size);
  const int out_size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, *out,
                                           static_cast<int>(*out_left), nullptr, nullptr);
  if (out_size <= 0) {
    errno = E2BIG;
    return static_cast<size_t>(-1);
  }
  *in += *in_left;
  *in_left = 0;
  *out += out_size;
  *out_left -= static_cast<size_t>(out_size);
  return 0;
}

extern "C" int iconv_close(iconv_t) { return 0; }

extern "C" int marquill_win_fchmod(int, unsigned) { return 0; }

extern "C" int flock(int fd, int operation) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  OVERLAPPED from_start{};
  if (operation & LOCK_UN) {
    return UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &from_start) ? 0 : FailWithLastError();
  }
  DWORD flags = (operation & LOCK_EX) ? LOCKFILE_EXCLUSIVE_LOCK : 0;
  if (operation & LOCK_NB) flags |= LOCKFILE_FAIL_IMMEDIATELY;
  return LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &from_start) ? 0 : FailWithLastError();
}

extern "C" int posix_spawnp(pid_t* pid, const char* file, const void*, const void*,
                            char* const argv[], char* const envp[]) {
  const intptr_t started = envp ? _spawnvpe(_P_NOWAIT, file, argv, envp)
                                : _spawnvp(_P_NOWAIT, file, argv);
  if (started == -1) return errno;
  if (pid) *pid = static_cast<pid_t>(started);
  return 0;
}

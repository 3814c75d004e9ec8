#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdarg>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "host/platform/win_include/fnmatch.h"
#include "host/platform/windows_text.h"
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

std::wstring WideName(const char* name) { return marquill::host::WideFromUtf8(name); }

bool IsExistingFile(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether another program holds the file open without sharing its removal (GetLastError() then
// tells the sharing violation).
bool IsHeldOpen(const std::wstring& name) {
  const HANDLE probe =
      CreateFileW(name.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
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
    if (IsHeldOpen(target)) return FailWithLastError();
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

// A second name of a file another program holds open could not be removed again until that
// program lets go; such a file is refused as busy, and the caller keeps a copy instead.
extern "C" int marquill_win_link(const char* from, const char* to) {
  const std::wstring source = WideName(from);
  if (IsHeldOpen(source)) return FailWithLastError();
  return CreateHardLinkW(WideName(to).c_str(), source.c_str(), nullptr) ? 0 : FailWithLastError();
}

extern "C" int fnmatch(const char* pattern, const char* text, int flags) {
  return Match(pattern, text, flags) ? 0 : FNM_NOMATCH;
}

extern "C" char* mkdtemp(char* pattern) {
  const std::string original = pattern;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::memcpy(pattern, original.c_str(), original.size() + 1);
    if (_mktemp_s(pattern, original.size() + 1) != 0) return nullptr;
    if (CreateDirectoryW(WideName(pattern).c_str(), nullptr)) return pattern;
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

// The C runtime's narrow file calls take names in the ANSI code page, which cannot hold most of
// the world's file names. The program's names are UTF-8, so these definitions, linked in place of
// the runtime's, take UTF-8 and call the wide ones.
namespace {

// A trailing separator makes the runtime's stat fail on a folder; a root keeps its own.
std::wstring WithoutTrailingSeparator(std::wstring name) {
  while (name.size() > 1 && (name.back() == L'/' || name.back() == L'\\') &&
         !(name.size() == 3 && name[1] == L':')) {
    name.pop_back();
  }
  return name;
}

// The runtime reads a file another program holds open (a sharing violation) as "permission
// denied"; it is a busy file, which the user can do something about.
bool Failed(int result) { return result < 0; }
bool Failed(const FILE* file) { return file == nullptr; }

template <typename Call>
auto MarkingBusyFiles(Call call) {
  _doserrno = 0;
  const auto result = call();
  if (Failed(result) && (_doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION))
    errno = EBUSY;
  return result;
}

}  // namespace

extern "C" int open(const char* name, int flags, ...) {
  int mode = 0;
  if (flags & O_CREAT) {
    va_list rest;
    va_start(rest, flags);
    mode = va_arg(rest, int);
    va_end(rest);
  }
  return MarkingBusyFiles([&] { return _wopen(WideName(name).c_str(), flags, mode); });
}

extern "C" FILE* fopen(const char* name, const char* mode) {
  return MarkingBusyFiles([&] { return _wfopen(WideName(name).c_str(), WideName(mode).c_str()); });
}

// The C++ library's file streams open narrow names with this one.
extern "C" FILE* fopen64(const char* name, const char* mode) { return fopen(name, mode); }

extern "C" int stat(const char* name, struct stat* info) {
  struct _stat64 wide_info {};
  if (_wstat64(WithoutTrailingSeparator(WideName(name)).c_str(), &wide_info) != 0) return -1;
  info->st_dev = wide_info.st_dev;
  info->st_ino = wide_info.st_ino;
  info->st_mode = wide_info.st_mode;
  info->st_nlink = wide_info.st_nlink;
  info->st_uid = wide_info.st_uid;
  info->st_gid = wide_info.st_gid;
  info->st_rdev = wide_info.st_rdev;
  info->st_size = static_cast<_off_t>(wide_info.st_size);
  info->st_atime = wide_info.st_atime;
  info->st_mtime = wide_info.st_mtime;
  info->st_ctime = wide_info.st_ctime;
  return 0;
}

extern "C" int access(const char* name, int mode) { return _waccess(WideName(name).c_str(), mode); }

extern "C" int unlink(const char* name) {
  return MarkingBusyFiles([&] { return _wunlink(WideName(name).c_str()); });
}

extern "C" int remove(const char* name) {
  return MarkingBusyFiles([&] { return _wremove(WideName(name).c_str()); });
}

extern "C" int mkstemp(char* pattern) {
  const std::size_t length = std::strlen(pattern);
  if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return -1;
  }
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 pick(seed());
  std::uniform_int_distribution<std::size_t> letter(0, sizeof(kLetters) - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = length - 6; i < length; ++i) pattern[i] = kLetters[letter(pick)];
    const int fd = _wsopen(WideName(pattern).c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY,
                           _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The value stays valid for the life of the program, as the runtime's own does until the
// variable changes: every text handed out is kept.
extern "C" char* getenv(const char* name) {
  static std::mutex guard;
  static std::map<std::string, std::vector<std::unique_ptr<std::string>>> given;
  const std::wstring wide_name = WideName(name);
  const DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) return nullptr;
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  if (length >= size) return nullptr;
  value.resize(length);
  std::string text = marquill::host::Utf8FromWide(value);
  const std::lock_guard<std::mutex> lock(guard);
  auto& values = given[name];
  if (values.empty() || *values.back() != text) {
    values.push_back(std::make_unique<std::string>(std::move(text)));
  }
  return values.back()->data();
}

// On Windows a busy file is one another program holds open: every message built from the error
// (the C library's, the C++ library's error codes) says so in words the user knows.
extern "C" char* strerror(int error) {
  static char open_elsewhere[] = "the file is open in another program";
  static char unknown[] = "Unknown error";
  if (error == EBUSY) return open_elsewhere;
  if (error < 0 || error >= _sys_nerr) return unknown;
  return _sys_errlist[error];
}

// The C++ library turns narrow names into the wide names of std::filesystem with these, one
// character at a time: the names are UTF-8. A character beyond the 16-bit range takes two wide
// characters (a surrogate pair): the call that reads its first three bytes gives the first, and
// the state keeps the second for the call that reads the last byte.
namespace {

constexpr std::size_t kInvalid = static_cast<std::size_t>(-1);
constexpr std::size_t kIncomplete = static_cast<std::size_t>(-2);

struct Decoded {
  std::size_t length;  // bytes read; 0 for the terminating NUL, or kInvalid / kIncomplete
  unsigned value;
};

Decoded DecodeUtf8(const char* text, std::size_t size) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {lead == 0 ? 0u : 1u, lead};
  std::size_t length = 0;
  unsigned value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u;
  } else {
    return {kInvalid, 0};
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= size) return {kIncomplete, 0};
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return {kInvalid, 0};
    value = (value << 6) | (next & 0x3Fu);
  }
  // Overlong forms, the surrogate range and values past Unicode's end are not characters.
  const unsigned least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  if (value < least || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
    return {kInvalid, 0};
  return {length, value};
}

std::size_t Failing(std::size_t result) {
  if (result == kInvalid) errno = EILSEQ;
  return result;
}

}  // namespace

extern "C" size_t mbrtowc(wchar_t* out, const char* text, size_t size, mbstate_t* state) {
  static_assert(sizeof(mbstate_t) >= sizeof(unsigned));
  static thread_local mbstate_t own_state{};
  unsigned& pending = *reinterpret_cast<unsigned*>(state ? state : &own_state);
  if (text == nullptr) {
    pending = 0;
    return 0;
  }
  if (size == 0) return kIncomplete;
  if (pending != 0) {  // the second half of a pair, for the last byte of its character
    if ((static_cast<unsigned char>(text[0]) & 0xC0) != 0x80) return Failing(kInvalid);
    if (out) *out = static_cast<wchar_t>(pending);
    pending = 0;
    return 1;
  }
  const Decoded decoded = DecodeUtf8(text, size);
  if (decoded.length == kInvalid || decoded.length == kIncomplete) return Failing(decoded.length);
  if (decoded.value < 0x10000) {
    if (out) *out = static_cast<wchar_t>(decoded.value);
    return decoded.length;
  }
  const unsigned above = decoded.value - 0x10000;
  if (out) *out = static_cast<wchar_t>(0xD800 + (above >> 10));
  pending = 0xDC00 + (above & 0x3FF);
  return decoded.length - 1;
}

extern "C" size_t mbrlen(const char* text, size_t size, mbstate_t* state) {
  return mbrtowc(nullptr, text, size, state);
}

extern "C" size_t mbsrtowcs(wchar_t* out, const char** text, size_t limit, mbstate_t*) {
  const char* in = *text;
  size_t written = 0;
  for (;;) {
    const Decoded decoded = DecodeUtf8(in, 4);
    if (decoded.length == kInvalid || decoded.length == kIncomplete) {
      *text = in;
      return Failing(kInvalid);
    }
    if (decoded.length == 0) {
      if (out && written < limit) {
        out[written] = L'\0';
        *text = nullptr;
      }
      return written;
    }
    const std::size_t units = decoded.value < 0x10000 ? 1 : 2;
    if (out) {
      if (written + units > limit) break;
      if (units == 1) {
        out[written] = static_cast<wchar_t>(decoded.value);
      } else {
        const unsigned above = decoded.value - 0x10000;
        out[written] = static_cast<wchar_t>(0xD800 + (above >> 10));
        out[written + 1] = static_cast<wchar_t>(0xDC00 + (above & 0x3FF));
      }
    }
    in += decoded.length;
    written += units;
  }
  *text = in;
  return written;
}

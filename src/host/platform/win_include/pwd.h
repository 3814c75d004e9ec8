// Windows has no password database: the home folder comes from the environment there.
#pragma once

#include <errno.h>
#include <stddef.h>

struct passwd {
  char* pw_dir;
};
static inline int getuid(void) { return 0; }
static inline int getpwuid_r(int, struct passwd*, char*, size_t, struct passwd** found) {
  *found = NULL;
  return ENOENT;
}

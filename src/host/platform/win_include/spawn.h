// Starting a program without waiting for it: _spawnvp on Windows.
#pragma once

#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif
int posix_spawnp(pid_t* pid, const char* file, const void* file_actions, const void* attributes,
                 char* const argv[], char* const envp[]);
#ifdef __cplusplus
}
#endif

// Checks that must not run with root's rights: root reads and writes past every permission.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace marquill::test {

// Runs `check` in a child process that drops to the "nobody" account when the tests run as
// root. Returns the child's exit code: 0 when `check` held, 1 when it did not, 2 when the
// account could not be taken; -1 when the child could not be started or did not exit.
inline int AsOrdinaryAccount(const std::function<bool()>& check) {
  const pid_t child = ::fork();
  if (child == -1) return -1;
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace marquill::test

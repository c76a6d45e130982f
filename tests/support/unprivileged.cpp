#include "support/unprivileged.h"

#include <sys/wait.h>
#include <unistd.h>

namespace g3test {

Unprivileged runUnprivileged(const std::function<bool()>& check) {
    if (geteuid() != 0) return check() ? Unprivileged::Passed : Unprivileged::Failed;
    pid_t pid = fork();
    if (pid < 0) return Unprivileged::NotPossible;
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return Unprivileged::Failed;
    switch (WEXITSTATUS(status)) {
    case 0: return Unprivileged::Passed;
    case 3: return Unprivileged::NotPossible;
    default: return Unprivileged::Failed;
    }
}

} // namespace g3test

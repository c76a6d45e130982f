#include "shellviews/shellexec.h"

#include "platform/fileops.h"
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shelllink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace g3 {

namespace {

// The grandchild: runs in the new session; reports a failure through the pipe. execvp
// would hand a file it cannot execute to /bin/sh; execve fails instead.
[[noreturn]] void execChild(char* const* argv, const char* dir, bool searchPath, int reportFd) {
    int err = 0;
    if (dir && chdir(dir) != 0) err = errno;
    if (!err) {
        if (searchPath)
            execvp(argv[0], argv);
        else
            execve(argv[0], argv, environ);
        err = errno;
    }
    ssize_t ignored = write(reportFd, &err, sizeof err);
    (void)ignored;
    _exit(127);
}

} // namespace

bool isProgramFile(const std::string& path) {
    struct stat st {};
    // Never opened unless regular: a FIFO would block the open.
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), X_OK) != 0)
        return false;
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) return false;
    char head[4] = {};
    ssize_t n;
    while ((n = read(fd.get(), head, sizeof head)) < 0 && errno == EINTR) {}
    if (n >= 2 && head[0] == '#' && head[1] == '!') return true;
    return n == 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0;
}

bool isExecutableHouse(const std::string& path) {
    const std::string name = namePart(path);
    return (name.size() >= 4 && equalsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".exe")) ||
           isProgramFile(path);
}

// A double fork, so the program is no child of ours and never becomes a zombie; the
// close-on-exec pipe tells whether exec succeeded. QProcess would take the path as a
// QString and lose bytes that are not UTF-8.
bool spawnDetached(const std::vector<std::string>& args, const std::string& workDir,
                   bool searchPath) {
    if (args.empty()) return false;
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const char* dir = workDir.empty() ? nullptr : workDir.c_str();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
    pid_t child = fork();
    if (child == 0) {
        readEnd.reset();
        setsid();
        if (fork() == 0) execChild(argv.data(), dir, searchPath, writeEnd.get());
        _exit(0);
    }
    writeEnd.reset();
    if (child < 0) return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    int err = 0;
    ssize_t n;
    while ((n = read(readEnd.get(), &err, sizeof err)) < 0 && errno == EINTR) {}
    return n == 0;
}

bool DesktopOpener::ShellExecuteItem(const std::string& path, const std::string& workDir) {
    if (const std::optional<ShortcutTarget> link = readShortcut(path))
        return open(link->path, isFolder(link->workingDir) ? link->workingDir : workDir);
    return open(path, workDir);
}

bool DesktopOpener::open(const std::string& path, const std::string& workDir) {
    if (isProgramFile(path)) return spawnDetached({path}, workDir, false);
    if (associations && associations(path, workDir)) return true;
    return spawnDetached({"xdg-open", path}, workDir);
}

// The stored program is run as it stands: a command that names no program file is not
// handed to a shell, and the desktop's default opens the item instead.
bool DesktopOpener::openWithRegistry(const std::string& path, const std::string& workDir) {
    const std::vector<std::string> command = storedOpenCommand(RegistryStore(), path);
    return !command.empty() && spawnDetached(command, workDir, false);
}

} // namespace g3

#include "shellviews/shelltemp.h"

#include "shellviews/shellnamespace.h"

#include <QtGlobal>

#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace g3test {

ShellTempDir::ShellTempDir() {
    std::string tmpl = "/tmp/g3shell-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

ShellTempDir::~ShellTempDir() {
    // GNU rm walks through descriptors, so folders deeper than PATH_MAX go too.
    std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) {}
}

std::string ShellTempDir::operator/(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

bool makeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        struct stat st {};
        if (stat(part.c_str(), &st) == 0) continue;
        if (mkdir(part.c_str(), 0755) != 0) return false;
    }
    return true;
}

void makeFile(const std::string& path, std::string_view bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    if (!bytes.empty() && write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("cannot write " + path);
    close(fd);
}

std::string makeDeepFolder(const std::string& base, std::size_t minBytes) {
    std::string path = base;
    int dir = open(base.c_str(), O_PATH | O_DIRECTORY);
    for (int i = 0; dir >= 0 && path.size() <= minBytes; ++i) {
        std::string name = std::string(200, 'd') + std::to_string(i);
        mkdirat(dir, name.c_str(), 0755);
        int next = openat(dir, name.c_str(), O_PATH | O_DIRECTORY);
        close(dir);
        dir = next;
        path += "/" + name;
    }
    if (dir < 0) throw std::runtime_error("cannot make a deep folder");
    close(dir);
    return path;
}

} // namespace g3test

namespace g3test {

g3::ItemIDList parsedPath(const std::string& path) {
    g3::ItemIDList out;
    if (!g3::ParseDisplayName(path, out)) qWarning("cannot parse %s", path.c_str());
    return out;
}

} // namespace g3test

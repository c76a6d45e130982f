#include "platform/profile.h"

#include "platform/fileops.h"
#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace g3 {

namespace {
std::string envValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
} // namespace

std::string executableFolder() {
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buf.size())
            return parentFolder(std::string_view(buf.data(), static_cast<std::size_t>(n)));
        buf.resize(buf.size() * 2);
    }
}

std::string configFolder() {
    std::string overridden = currentFolderForm(envValue("G3_CONFIG_DIR"));
    if (!overridden.empty()) {
        forceDirectories(overridden);
        return overridden;
    }
    std::string exe = executableFolder();
    if (!exe.empty() && access(exe.c_str(), W_OK) == 0) return exe;
    // The XDG rule: a relative XDG_CONFIG_HOME is invalid and ignored.
    std::string base = envValue("XDG_CONFIG_HOME");
    if (base.empty() || base[0] != '/') base = joinPath(currentFolderForm(envValue("HOME")), ".config");
    std::string folder = joinPath(currentFolderForm(base), "grottan3");
    forceDirectories(folder);
    return folder;
}

} // namespace g3

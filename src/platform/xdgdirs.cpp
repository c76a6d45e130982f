#include "platform/xdgdirs.h"

#include "platform/fileops.h"
#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <vector>

namespace g3 {

namespace {

std::string envValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// An absolute folder from the environment, else the fallback.
std::string absoluteOr(const char* name, const std::string& fallback) {
    std::string v = envValue(name);
    return !v.empty() && v[0] == '/' ? currentFolderForm(v) : fallback;
}

// The value of XDG_DESKTOP_DIR="..." in user-dirs.dirs, with $HOME expanded.
std::string desktopFromUserDirs() {
    std::ifstream in(joinPath(configHome(), "user-dirs.dirs"));
    std::string line;
    const std::string key = "XDG_DESKTOP_DIR=\"";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::size_t end = line.rfind('"');
        if (end <= key.size()) return {};
        std::string v = line.substr(key.size(), end - key.size());
        if (v.rfind("$HOME", 0) == 0) v = rootRule(homeFolder()) + v.substr(5);
        return v;
    }
    return {};
}

} // namespace

std::string homeFolder() {
    std::string h = envValue("HOME");
    if (!h.empty() && h[0] == '/') return currentFolderForm(h);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir == '/')
        return currentFolderForm(pw->pw_dir);
    return "/";
}

std::string configHome() { return absoluteOr("XDG_CONFIG_HOME", joinPath(homeFolder(), ".config")); }

std::string dataHome() {
    return absoluteOr("XDG_DATA_HOME", joinPath(joinPath(homeFolder(), ".local"), "share"));
}

std::vector<std::string> dataDirs() {
    std::vector<std::string> dirs;
    const std::string v = envValue("XDG_DATA_DIRS");
    std::size_t at = 0;
    while (at <= v.size()) {
        const std::size_t end = std::min(v.find(':', at), v.size());
        const std::string d = v.substr(at, end - at);
        if (!d.empty() && d[0] == '/') dirs.push_back(currentFolderForm(d));
        at = end + 1;
    }
    if (dirs.empty()) dirs = {"/usr/local/share", "/usr/share"};
    return dirs;
}

std::string desktopEntryPath(const std::string& id) {
    std::vector<std::string> folders{dataHome()};
    for (auto& d : dataDirs()) folders.push_back(std::move(d));
    for (const auto& folder : folders) {
        const std::string apps = joinPath(folder, "applications");
        // "vendor-app.desktop" may also be "vendor/app.desktop"; each "-" is tried in turn.
        std::string rel = id;
        for (std::size_t dash = 0;; ++dash) {
            const std::string p = joinPath(apps, rel);
            if (pathExists(p) && !isFolder(p)) return p;
            dash = rel.find('-', dash);
            if (dash == std::string::npos) break;
            rel[dash] = '/';
        }
    }
    return {};
}

std::string desktopFolder() {
    std::string d = absoluteOr("XDG_DESKTOP_DIR", {});
    if (d.empty()) d = currentFolderForm(desktopFromUserDirs());
    if (!d.empty() && d[0] == '/' && isFolder(d)) return d;
    return homeFolder();
}

std::string homeTrash() { return joinPath(dataHome(), "Trash"); }

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
    // Below /usr the package manager owns the folder, even when this user (root) could
    // write there.
    std::string exe = executableFolder();
    if (!exe.empty() && !isSameOrInside(exe, "/usr") && access(exe.c_str(), W_OK) == 0) return exe;
    std::string folder = joinPath(configHome(), "grottan3");
    forceDirectories(folder);
    return folder;
}

std::string processFolder() {
    std::vector<char> buf(4096);
    for (;;) {
        if (getcwd(buf.data(), buf.size())) return std::string(buf.data());
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
}

} // namespace g3

#include "archivetools.h"

#include "archive/archiverapi.h"
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"
#include "support/tempdir.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

namespace g3test {

bool haveTool(const std::string& name) {
    return shell("command -v " + name + " >/dev/null 2>&1");
}

bool shell(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

namespace {

void walk(const std::string& root, const std::string& rel,
          const std::function<void(const std::string&, const struct stat&)>& f) {
    g3::DirHandle d(opendir(g3::joinPath(root, rel).c_str()));
    if (!d) return;
    while (dirent* e = readdir(d.get())) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string r = rel.empty() ? name : rel + "/" + name;
        struct stat st {};
        if (lstat(g3::joinPath(root, r).c_str(), &st) != 0) continue;
        f(r, st);
        if (S_ISDIR(st.st_mode)) walk(root, r, f);
    }
}

} // namespace

std::map<std::string, std::string> regularFiles(const std::string& root) {
    std::map<std::string, std::string> files;
    walk(root, "", [&](const std::string& r, const struct stat& st) {
        if (S_ISREG(st.st_mode)) files[r] = readFile(g3::joinPath(root, r));
    });
    return files;
}

std::vector<std::string> allEntries(const std::string& root) {
    std::vector<std::string> all;
    walk(root, "", [&](const std::string& r, const struct stat&) { all.push_back(r); });
    std::sort(all.begin(), all.end());
    return all;
}

std::string corpusArchives() {
    std::string dir = std::string(G3_CORPUS_DIR) + "/archives";
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dir : std::string();
}

std::vector<std::string> corpusFiles(const std::string& sub) {
    std::vector<std::string> files;
    const std::string root = corpusArchives();
    if (root.empty()) return files;
    walk(g3::joinPath(root, sub), "", [&](const std::string& r, const struct stat& st) {
        if (S_ISREG(st.st_mode) && r != "EXPECTED.txt") files.push_back(r);
    });
    std::sort(files.begin(), files.end());
    return files;
}

ModuleCall callArchiver(const std::string& library, const char* entry, const std::string& line,
                        void* owner) {
    ModuleCall call;
    const std::string path = g3::joinPath(g3::executableFolder(), "DLL/" + library);
    g3::LibraryHandle h(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!h) return call;
    auto fn = reinterpret_cast<g3::ArchiverEntryPoint>(dlsym(h.get(), entry));
    if (!fn) return call;
    auto buffer = std::make_unique<char[]>(65000);
    call.result = fn(owner, line.c_str(), buffer.get(), 65000);
    call.output = buffer.get();
    return call;
}

} // namespace g3test

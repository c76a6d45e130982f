// Shared by the main window's tests: a fresh configuration folder (G3_CONFIG_DIR), a
// scratch folder tree, and a recorder that answers every message box.
#pragma once

#include "support/testservices.h"
#include "ui/msgbox.h"
#include "platform/paths.h"
#include "shellviews/shellnamespace.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace g3test {

// The window's services in a test: boxes recorded and answered, menus chosen by name.
using Boxes = TestServices;

// For tests that never look at what the window asks.
inline TestServices& quietServices() {
    static TestServices services;
    return services;
}

class Folders {
public:
    Folders() {
        ::setenv("G3_CONFIG_DIR", config_.path().toUtf8().constData(), 1);
    }
    ~Folders() { ::unsetenv("G3_CONFIG_DIR"); }
    std::string config(const std::string& name = {}) const {
        return g3::joinPath(config_.path().toStdString(), name);
    }
    std::string scratch(const std::string& name = {}) const {
        return g3::joinPath(scratch_.path().toStdString(), name);
    }
    void write(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string read(const std::string& path) const {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

private:
    QTemporaryDir config_;
    QTemporaryDir scratch_;
};

// The desktop of a test that shows its window to other programs: a home folder of its own,
// which is the desktop folder too, and no volumes (setMountInfoPathForTesting("") gives
// the machine's back). Returns the home folder.
inline std::string useOwnDesktop(const Folders& f) {
    const std::string home = f.scratch("home");
    ::mkdir(home.c_str(), 0755);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DESKTOP_DIR", home.c_str(), 1);
    f.write(f.scratch("mountinfo"), "");
    g3::setMountInfoPathForTesting(f.scratch("mountinfo"));
    return home;
}

} // namespace g3test

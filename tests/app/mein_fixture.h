// Shared by the main window's tests: a fresh configuration folder (G3_CONFIG_DIR), a
// scratch folder tree, and a recorder that answers every message box.
#pragma once

#include "support/testservices.h"
#include "ui/msgbox.h"
#include "platform/paths.h"

#include <QTemporaryDir>
#include <QTest>

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

} // namespace g3test

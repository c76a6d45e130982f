#include "support/programs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace g3test {

std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        pclose(p);
    }
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string writeRecordingProgram(const std::string& path) {
    const std::string record = path + ".record", part = shellQuoted(record + ".part");
    writeFile(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " + part + " && mv " + part +
                        " " + shellQuoted(record) + "\n");
    ::chmod(path.c_str(), 0755);
    return record;
}

std::string awaitFile(const std::string& path) {
    for (int i = 0; i < 1000 && access(path.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return exists(path) ? readFile(path) : std::string();
}

DesktopHome::DesktopHome() {
    ::setenv("HOME", dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir / ".local/share").c_str(), 1);
    ::unsetenv("XDG_CURRENT_DESKTOP");
    ::unsetenv("DESKTOP_SESSION");
}

} // namespace g3test

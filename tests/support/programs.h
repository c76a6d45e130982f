// Other programs in tests: running a command line and reading what it printed, and small
// programs that record how they were started.
#pragma once

#include "support/tempdir.h"

#include <string>

namespace g3test {

// s in single quotes for a shell command line.
std::string shellQuoted(const std::string& s);
// What the command line (run by /bin/sh) printed on its standard output, without one last
// line break.
std::string commandOutput(const std::string& command);

// Writes an executable script at path that writes its arguments, one a line, to
// path + ".record", putting that file in place whole; returns the record's path.
std::string writeRecordingProgram(const std::string& path);
// Waits (up to 10 s) for a file that a program started on its own puts in place whole, and
// returns its contents ("" when it never came).
std::string awaitFile(const std::string& path);

// A home of its own for a whole test program: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME point
// into a temporary folder, and no desktop is named, so desktop tools (xdg-mime, gio) and
// GLib see only what the tests write there. Make it before main (a namespace-scope
// object): GLib reads these folders once per process.
struct DesktopHome {
    TempDir dir;
    DesktopHome();
};

} // namespace g3test

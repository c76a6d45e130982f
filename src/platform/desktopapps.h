// The desktop's applications, as the freedesktop.org desktop entries and mimeapps.list
// describe them, read and started through GIO: which programs take a type, and starting
// one with files. Called on the user-interface thread; GIO reads the entries once and
// follows their changes itself.
#pragma once

#include <string>
#include <vector>

namespace g3 {

struct DesktopApp {
    std::string id;   // the desktop file id ("org.example.Viewer.desktop")
    std::string name; // the name a user reads, UTF-8
};

// The applications the desktop lists for a MIME type: its default first, then every other
// entry that declares the type, each once. Entries that hide themselves from menus
// (NoDisplay, or shown only on other desktops) are left out unless they are the default.
std::vector<DesktopApp> applicationsForType(const std::string& mimeType);

// Starts the application of a desktop file id with the files (full paths, exact bytes)
// handed over as file:// URIs: GIO expands the entry's field codes (%f, %F, %u, %U) and
// starts the program in the entry's Path folder. False when the id names no application
// entry or the program could not be started.
bool launchApplication(const std::string& id, const std::vector<std::string>& paths);
// The same for an application entry given as the path of its .desktop file.
bool launchDesktopEntry(const std::string& desktopFile, const std::vector<std::string>& paths);

// The name a user reads of the application a .desktop file describes; "" when the file is
// no application entry.
std::string desktopEntryName(const std::string& desktopFile);

} // namespace g3

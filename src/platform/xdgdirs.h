// The user's folders as the desktop defines them (the XDG base directories and user
// directories), the program's own folders, and the folder of this process. Each is read
// when asked: the environment of a test or of a second instance may differ.
#pragma once

#include <string>
#include <vector>

namespace g3 {

// $HOME when absolute, else the password entry's home, else "/".
std::string homeFolder();
// $XDG_CONFIG_HOME when absolute (a relative value is invalid and ignored), else
// ~/.config.
std::string configHome();
// $XDG_DATA_HOME when absolute, else ~/.local/share.
std::string dataHome();
// The desktop folder: XDG_DESKTOP_DIR from the environment or from
// $XDG_CONFIG_HOME/user-dirs.dirs (with $HOME expanded), when it is an existing folder;
// else the home folder.
std::string desktopFolder();
// The home trash of the freedesktop.org Trash specification: $XDG_DATA_HOME/Trash.
std::string homeTrash();
// $XDG_DATA_DIRS (its absolute entries), else /usr/local/share and /usr/share.
std::vector<std::string> dataDirs();
// The file of a desktop entry id ("org.example.App.desktop"): applications/ of the data
// home, then of each data folder, with "-" in the id also standing for a subfolder; ""
// when none has it.
std::string desktopEntryPath(const std::string& id);

// Folder of the running executable, resolved through links, without trailing "/".
std::string executableFolder();
// Where data.ini and memo.ini live: the executable's folder when it is writable and not
// an installed one (below /usr), else
// $XDG_CONFIG_HOME/grottan3, made when missing. G3_CONFIG_DIR, when set, overrides both
// (tests use it).
std::string configFolder();
// The current folder of this process ("" when it cannot be read, e.g. it was deleted).
std::string processFolder();

} // namespace g3

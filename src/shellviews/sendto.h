// The SendTo folder, $XDG_CONFIG_HOME/grottan3/SendTo: its items are the targets of the
// context menu's send-to submenu. A link to a folder there copies the items into that
// folder; a .desktop application entry starts its program with them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace g3 {

// The folder's path (it may not exist yet).
std::string sendToFolder();

// Makes the folder when it is missing, with a link to the home folder ("ホーム") and one
// to the desktop folder ("デスクトップ", unless the desktop is the home folder itself). An
// existing folder is left as the user keeps it. False when it cannot be made.
bool ensureSendToFolder();

struct SendToEntry {
    std::string path;    // full path of the item in the SendTo folder
    std::string caption; // what the menu shows: an application entry's name, else the name
};

// The items of folder that are not folders (a link to a folder is an item), hidden names
// left out, in the folder's name order; at most max of them. False when the folder cannot
// be listed.
bool listSendTo(const std::string& folder, std::size_t max, std::vector<SendToEntry>& out);

// What an item of the SendTo folder hands the files to: the folder a link (or the item
// itself) leads to, or the application entry it is.
struct SendToTarget {
    enum Kind { None, Folder, Application } kind = None;
    std::string path; // the resolved folder, or the .desktop file
};
SendToTarget sendToTargetOf(const std::string& item);

} // namespace g3

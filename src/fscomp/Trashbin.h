// TTrashbin: sends files and folders to the trash (fills them in), after refusing the
// system's own folders. The refusal message and the delete itself go through its host: the
// main window shows the one and runs the other as the shell file operation's delete to the
// trash (its confirmation, its progress window titled Title, its error list).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace g3 {

class TrashbinHost {
public:
    virtual ~TrashbinHost() = default;
    // An information box with one OK button.
    virtual void showInformation(const std::string& text) = 0;
    // The shell file operation's delete with undo and simple progress (FO_DELETE,
    // FOF_ALLOWUNDO | FOF_SIMPLEPROGRESS) of paths, in order, titled title.
    virtual void deleteToTrash(const std::vector<std::string>& paths, const std::string& title) = 0;
};

class TTrashbin {
public:
    explicit TTrashbin(TrashbinHost& host) : host_(host) {}

    std::string Title; // the progress window's title; empty: the operation's own

    // list: full paths, each ended by a NUL, the whole ended by one more NUL. Every path is
    // checked against the protected folders, by text and by identity; the first protected
    // one is named and the list is not touched at all. Returns true in every case: failures and cancellations are the operation's
    // to show.
    bool SendToTrash(std::string_view list);

    // A path lower-cased as the comparison and the refusal's message see it.
    static std::string lowerCased(std::string_view path);

private:
    TrashbinHost& host_;
};

// The double-NUL list of paths (each path, a NUL; one more NUL at the end).
std::string pathList(const std::vector<std::string>& paths);
// The paths of a double-NUL list, up to the first empty one.
std::vector<std::string> splitPathList(std::string_view list);

} // namespace g3

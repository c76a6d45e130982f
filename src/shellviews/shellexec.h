// Opening and running an item, as a double click in the file list does: a shortcut file
// (.lnk) stands for what it leads to; a program (see isProgramFile) is started as its own
// process; anything else goes to the program's association store and then to the
// desktop's default application (xdg-open). All run with the given working folder (a
// shortcut's own when it names an existing one); paths are passed as exact bytes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace g3 {

// Who opens and runs items: the desktop (DesktopOpener), or a test's double.
class Opener {
public:
    virtual ~Opener() = default;
    // True when the item was started or handed on; false when no process could be started
    // (missing program or working folder).
    virtual bool ShellExecuteItem(const std::string& path, const std::string& workDir) = 0;
};

// The association store's opener: returns true when it opened path.
using AssociationOpener = std::function<bool(const std::string& path, const std::string& workDir)>;

class DesktopOpener : public Opener {
public:
    bool ShellExecuteItem(const std::string& path, const std::string& workDir) override;
    // Asked before the desktop's default; at first openWithRegistry.
    AssociationOpener associations = openWithRegistry;

    // Starts the command the program's registry (platform/registry.h) names for path's
    // extension; false when it names none or the program could not be started.
    static bool openWithRegistry(const std::string& path, const std::string& workDir);

private:
    bool open(const std::string& path, const std::string& workDir);
};

// True for a regular file (after links) that this process may execute and whose content
// is a program: an ELF image, or a script whose first two bytes are "#!". Execute bits
// alone say nothing (every file on a FAT, exFAT or NTFS stick carries them), and a file
// without either mark would be run by the shell line by line.
bool isProgramFile(const std::string& path);
// An executable house, the kind the commands ask about before running and the only kind
// that opens files of other types: a name ending in ".EXE" in any case, or a program file.
bool isExecutableHouse(const std::string& path);

// Starts argv[0] detached from this process, in workDir when not empty: a name without
// "/" is searched in PATH; with searchPath false argv[0] is the program's path and is run
// as it stands, never handed to a shell. False when it could not be started (the exec
// failed or the folder is missing).
bool spawnDetached(const std::vector<std::string>& argv, const std::string& workDir,
                   bool searchPath = true);

} // namespace g3

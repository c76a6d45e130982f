// Thawing and freezing through the archiver modules: the main window's commands
// failkaito (the thaw button tbtnKaito) and failasyuk (the freeze button tbtnAsyuk),
// without the window.
//
// The window lends the commands what they need of it through ArchiveCommandContext and
// calls them from its button handlers:
//
//     class MainArchiveContext : public ArchiveCommandContext { ... the window's parts ... };
//     void TForm1::tbtnKaitoClick() { MainArchiveContext c(*this); ArchiveBridge(c).failkaito(); }
//     void TForm1::tbtnAsyukClick() { MainArchiveContext c(*this); ArchiveBridge(c).failasyuk(); }
//
// ownerWindow() hands the main window to the module, whose progress window, questions and
// report are shown over it; askArchiveName() is TPasswordDlg, confirm() and inform() the
// message dialog (MsgKind::Confirmation with Yes and No, MsgKind::Information with OK), the
// monitor calls are the window's pause and resume of DirMonitor1.
//
// Both run on the window's thread and return when the module has finished (the module
// keeps the window painting meanwhile). Both leave the process's current folder where they
// set it: the destination (when it could be entered) or the frozen folder. A module is loaded from dllFolder() for one
// command and unloaded after it; a missing folder, module or entry point makes the
// command do nothing, silently.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace g3 {

// What the archive commands see of the window. Texts are UTF-8 bytes (names inside them
// keep their own bytes); line ends are the system's own ("\n\r", "\r\n").
class ArchiveCommandContext {
public:
    virtual ~ArchiveCommandContext() = default;

    // The file list's selection: how many items, and the full path of the selected one.
    virtual int selectionCount() const = 0;
    virtual std::string selectedPath() const = 0;
    // CurDir: "/" for the root, every other folder without a trailing "/".
    virtual std::string currentFolder() const = 0;
    // The window that owns the modules' windows (the main window's QWidget*), or null.
    virtual void* ownerWindow() const = 0;

    // The confirmation message dialog with Yes and No; true only for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // The information message dialog with OK.
    virtual void inform(const std::string& text) = 0;
    // TPasswordDlg with the given caption and prompt, its input filled with `text`; true
    // when closed with OK, the input then in `text`.
    virtual bool askArchiveName(const std::string& caption, const std::string& prompt,
                                std::string& text) = 0;

    // The directory monitor off, and on again whatever the refresh button shows.
    virtual void monitorOff() = 0;
    virtual void monitorOn() = 0;
    // The tree refresh (RebuildTree with the selected folder).
    virtual void treeRefresh() = 0;
    // Selects the folder in the tree; false when it cannot be shown. After thawing an LZH
    // archive the path ends in "/" (the form UNLHA32's destination is given in): the same
    // folder as without it.
    virtual bool navigateTo(const std::string& path) = 0;
};

// One archiver module and the entry point it exports.
struct ArchiverModule {
    const char* library; // file name in the DLL folder
    const char* entry;   // the exported function
    bool lha;            // UNLHA32's trailing "/" destination and "洞窟" question
};

// The module for an archive's name by its extension (from the last "." of the name,
// without regard to case): .LZH, .ZIP, .7Z, .CAB or .RAR; null for anything else.
const ArchiverModule* archiverFor(std::string_view path);
// The module that freezes (7-zip32.dll, SevenZip).
const ArchiverModule& freezer();

// The folder the modules are loaded from: the executable's folder + "/DLL/".
std::string dllFolder();

// The extraction command line for an archive A into the folder D (no trailing "/").
std::string thawCommandLine(const ArchiverModule& m, const std::string& archive,
                            const std::string& destination);
// The compression command line for the archive name N (".7z" is added) and the files'
// relative paths.
std::string freezeCommandLine(const std::string& name, const std::vector<std::string>& files);

// The size of the output buffer every call is given.
inline constexpr unsigned kArchiverOutputSize = 65000;

class ArchiveBridge {
public:
    explicit ArchiveBridge(ArchiveCommandContext& context, std::string moduleFolder = dllFolder());

    // Thaws the one selected archive into a folder of its name beside it, after asking;
    // then shows that folder (or, when it is not there, the folder shown before).
    void failkaito();
    // Freezes every file in and below the current folder into a 7z archive named by the
    // user. Refused at ground level ("/", the empty path, the root of a mounted file
    // system); silent for a folder without files.
    void failasyuk();

private:
    ArchiveCommandContext& ctx_;
    std::string folder_;
};

} // namespace g3

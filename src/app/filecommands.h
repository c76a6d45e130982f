// The commands on the current folder and the list's selection: dig a sub-cave, fill in the
// current cave, evict the selection to the trash, open the trash, change part of every
// nameplate at once, build a copy of one house under a new nameplate, and the Enter key.
// Everything that goes to the trash goes through the window's one TTrashbin, whose
// confirmation, progress window and error report are the shell file operation's.
#pragma once

#include "app/feature.h"
#include "fscomp/FindF.h"
#include "fscomp/Trashbin.h"

#include <string>
#include <vector>

namespace g3 {

class FileCommandsController final : public FeatureController, private TrashbinHost {
    Q_OBJECT
public:
    FileCommandsController(WindowContext& window, ToolPlaces& places, QObject* parent);

    void folderSaksei();   // tbtnHoru
    void folderSakjo();    // tbtnUmeru
    void gomiSakujo();     // tbtnTatinok
    void ShowRecycleBin(); // tbtnGomiOpen
    void failmeihenkou();  // tbtnNamHenkou
    void namHenCopy();     // tbtnNamHenCopy
    // The list's key handler: Enter opens the selected item (a cave is entered, a program
    // asked about first). The key goes on to the list afterwards.
    void ShellListView1KeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Sends full paths to the trash as the evict command does (its confirmation, its
    // refusals); the views are refreshed afterwards.
    void evict(const std::vector<std::string>& paths);

    TTrashbin& Trashbin1() { return trashbin_; }
    // The before-text and after-text of the last bulk rename.
    const std::string& renameBefore() const { return renameBefore_; }
    const std::string& renameAfter() const { return renameAfter_; }

    // The window's trash opens in the desktop's file manager when it has one other than
    // this program; the name of that program's entry ("" for none or this program).
    static std::string otherFileManager();

private:
    // TrashbinHost
    void showInformation(const std::string& text) override;
    void deleteToTrash(const std::vector<std::string>& paths, const std::string& title) override;

    // Why the current folder may not be filled in now, or "" when it may.
    std::string fillInRefusal(const std::string& folder) const;
    void FindFile3Find(TFindFile& sender, const FindData& data, const std::string& currentDir,
                       bool& cancel);
    void openItem(const std::string& path);

    TTrashbin trashbin_{*this};
    TFindFile FindFile3;
    std::vector<std::string> found_; // names the bulk rename's finder reported
    std::string renameBefore_, renameAfter_;
};

} // namespace g3

// TFolderDialog: the folder browse component. Execute shows the program's own browse
// window over the shell namespace, rooted at the desktop; the folders below are listed
// when a branch is first opened.
#pragma once

#include <QDialog>
#include <QObject>

#include <memory>
#include <string>

class QLabel;
class QModelIndex;
class QPushButton;

namespace g3 {

// The browse flags, with the values of the platform's BIF_ flags. Only
// bifReturnOnlyFSDirs (OK only for items with a file-system path) and bifStatusText (a
// status line with the selected path) change what the window does; the others name
// network and printer choices the program has none of.
enum TFolderDlgOption : unsigned {
    bifReturnOnlyFSDirs = 0x0001,
    bifDontGoBelowDomain = 0x0002,
    bifStatusText = 0x0004,
    bifReturnFSAncestors = 0x0008,
    bifBrowseForComputer = 0x1000,
    bifBrowseForPrinter = 0x2000,
};
using TFolderDlgOptions = unsigned;

class TFolderView;

// The browse window Execute shows; public so tests can drive it.
class TFolderBrowser : public QDialog {
    Q_OBJECT
public:
    TFolderBrowser(QWidget* owner, const std::string& title, TFolderDlgOptions options);
    ~TFolderBrowser() override;

    QLabel* titleLabel;
    QLabel* statusLabel;
    TFolderView* tree;
    QPushButton* okButton;
    QPushButton* cancelButton;

    // Opens the branches down to path and selects it; false (nothing selected) when path
    // is not an existing folder.
    bool selectPath(const std::string& path);
    // The file-system path of the selected item; false when none is selected or it has no
    // path.
    bool selectedPath(std::string& out) const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void selectionChanged(const QModelIndex& current);
    void scrollToCurrent();

    TFolderDlgOptions options_;
};

class TFolderDialog : public QObject {
    Q_OBJECT
public:
    // owner: the window the browse window is modal over (may be null).
    explicit TFolderDialog(QWidget* owner = nullptr);

    std::string Title;                                       // text above the tree
    TFolderDlgOptions Option = bifReturnOnlyFSDirs | bifStatusText;
    std::string Folder; // in: folder to preselect; out: the chosen folder's path

    // True when the user chose a folder; Folder then holds its path when it has one.
    // False on cancel, and Folder stays as it was.
    bool Execute();

    // The browse window while Execute shows it, else nullptr.
    TFolderBrowser* browser() const { return browser_; }

private:
    QWidget* owner_;
    TFolderBrowser* browser_ = nullptr;
};

} // namespace g3

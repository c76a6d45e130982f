// The main window TForm1: tool bar, tree panel with the history combo, splitter, file
// list, favourite tabs; start-up and shut-down of the settings, the layout switch, the
// list style and sort menus and the automatic refresh.
//
// The one place where the current folder changes is ShellTreeView1Change; every
// navigation ends in selecting a tree node (navigateTo). The history, the tabs and the
// steps up, back and forward are the navigation controller's (navigation.h).
#pragma once

#include "app/settings.h"
#include "app/feature.h"
#include "app/services.h"
#include "shellviews/filelistmodel.h"
#include "shellviews/itemidlist.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QMenu;
class QToolBar;
class QToolButton;

namespace g3 {

class AssociationController;
class ClipboardController;
class CopyMoveController;
class ShellMenuController;
class FeatureController;
class FileCommandsController;
class NavigationController;
class PathCopyController;
class QuickViewController;
class ShortcutController;
class TPasswordDlg;
class TPasswordDlg2;
class TCopyEngine;
class TDirMonitor;
class TDropDst;
class TFolderDialog;
class TForm3;
class TOKRightDlg;
class TPasswordDlg;
class SearchController;
class TFileView;
class TFolderView;
class TTabStrip;
class TdfsSplitter;

// The main window: the form's layout, the views and the window's own commands; every other
// command group is a feature controller (feature.h) that sees the window as a
// WindowContext and fills its places in the tool bar.
class TForm1 : public QMainWindow, public WindowContext, public ToolPlaces {
    Q_OBJECT

public:
    static constexpr int kTabRowHeight = 23;

    // Runs FormCreate: reads data.ini and memo.ini and shows "/" in the tree. What the
    // window asks of the world goes through services.
    explicit TForm1(const Services& services, QWidget* parent = nullptr);
    // FormDestroy: the tree and the list go first, then everything else.
    ~TForm1() override;

    // --- State other commands build on -------------------------------------------
    // The current folder: "/" for the root, any other folder without trailing "/".
    const std::string& CurDir() const override { return curDir_; }
    // Folder the archiver libraries are loaded from; ends with "/".
    const std::string& dllFolder() const { return dllFolder_; }
    TFolderView* ShellTreeView1() const { return tree_; }
    TFileView* ShellListView1() const { return list_; }
    TDirMonitor* DirMonitor1() const { return monitor_.get(); }
    // A tool bar button by its name ("tbtnTatemas" ...); nullptr for an unknown name. For
    // tests and screenshots: the window itself finds its buttons by their places.
    QToolButton* toolButton(const QString& name) const;
    QToolButton* buttonOf(ToolSlot slot) const;
    QComboBox* ComboBox1() const { return combo_; }
    TTabStrip* TabControl1() const { return tabs_; }
    TdfsSplitter* dfsSplitter1() const { return splitter_; }
    QMenu* popStyle() const { return popStyle_; }
    QMenu* pmenuSort() const { return pmenuSort_; }
    // The about and error-list window, created after the main window at start.
    void setOKRightDlg(TOKRightDlg* dlg);
    TOKRightDlg* OKRightDlg() const { return okRightDlg_; }
    // The progress routines of the window's runs.
    Progress& progress() override { return *progress_; }
    const Services& services() const override { return services_; }
    // The window menu with the command that starts one more instance.
    QMenu* windowMenu() const { return sysMenu_; }

    // Navigates the tree to path (the tree's SelectPath); false when the path is not a
    // folder the tree can show (nothing changes then).
    bool navigateTo(const std::string& path) override;
    // Rebuilds the tree with its selected folder re-selected, inside one update; with a
    // path of an existing folder, that folder is selected instead.
    void treeRefresh(const std::string& path = {}) override;
    // WindowContext, besides the above.
    std::vector<std::string> selectedNames() const override;
    std::string selectedItemText(int column) const override;
    TPasswordDlg& PasswordDlg() override;
    TPasswordDlg2& PasswordDlg2() override;
    bool busyBelow(const std::string& folder) const override;
    void pauseMonitor() override;
    void resumeMonitor() override;
    QWidget* dialogOwner() override { return this; }
    void raiseWindow() override;
    // The one TPasswordDlg of the window (made on first use) with req's texts.
    bool askInput(const InputRequest& req, std::string& text) override;
    void runStateChanged(bool running) override;
    // ToolPlaces: the controllers' actions in the tool bar.
    QToolButton* placeTool(ToolSlot slot, QAction* action, QMenu* menu = nullptr) override;

    // --- Handlers (public so tests can drive them like a click) ---------------------
    void ShellTreeView1Change();
    void tbtnTateYokoClick();
    void popStylePopup();
    void setListStyle(int code); // pm01Click .. pm04Click with code 1..4
    void sortMenuClick(int column); // pmSortNameClick .. pmSortNitijiClick
    void tbtnSaisinClick();
    void DirMonitor1Change();
    void tbtnZenSentakClick();
    void tbtnVajHelClick();
    void startSecondInstance();

    // Drops, in mein_drops.cpp. The points are those the drop targets report: the list's
    // own coordinates, the tree's viewport's.
    void DropDst1FileDrop(QObject* Sender, const std::vector<std::string>& Files, int X, int Y);
    void DropDst2FileDrop(QObject* Sender, const std::vector<std::string>& Files, int X, int Y);
    bool fileIcoLabHit(int X, int Y) const;
    bool foldaIcoLabHit(int X, int Y) const;
    // The feature controllers.
    NavigationController& navigation() const { return *navigation_; }
    CopyMoveController& copyMove() const { return *copyMove_; }
    ClipboardController& clipboard() const { return *clipboard_; }
    FileCommandsController& fileCommands() const { return *fileCommands_; }
    PathCopyController& pathCopy() const { return *pathCopy_; }
    QuickViewController& quickView() const { return *quickView_; }
    ShellMenuController& shellMenu() const { return *shellMenu_; }
    AssociationController& associations() const { return *associations_; }
    ShortcutController& shortcuts() const { return *shortcuts_; }
    SearchController& search() const { return *search_; }
    TCopyEngine* copyEngine() const;
    TDropDst* DropDst1() const { return dropDst1_; }
    TDropDst* DropDst2() const { return dropDst2_; }
    // Made on first use: most sessions never need either.
    TForm3* Form3();
    TFolderDialog* FolderDialog1();

    // --- Read-outs for tests ----------------------------------------------------------
    int layoutMode() const { return layout_; }
    int listStyleCode() const;
    int listColumnWidth(int column) const;
    QWidget* paneTree() const { return paneTree_; }
    QWidget* PaneBotom() const { return paneBotom_; }
    // The sort column the list keeps for the window (MyColBan).
    int myColBan() const;
    // Rows of the list in display order (names), for tests of sorting.
    std::vector<std::string> listRowNames() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void keepRefreshOn(); // reopens a closed monitor while the refresh button is up
    // Runs the monitor's refresh that waited for a name editor, once none is open.
    void takeWaitingRefresh();
    // Construction, in mein_ui.cpp.
    void buildToolBar();
    void buildMenus();
    void buildPanels();
    void buildBottom();
    QToolButton* addToolButton(const ToolSpec& spec);
    // An action of the window's own for a place of the tool bar.
    QAction* placeOwnTool(ToolSlot slot, void (TForm1::*handler)(), QMenu* menu = nullptr);
    // The keys file managers share, each running the command of its button (mein_keys.cpp).
    void buildKeyboardHabits();

    // The feature controllers and the drop targets.
    void createControllers();
    // Steps shared by both drops: the progress dialog around the drop menu; the chosen
    // kind, or 0 when the drop is to be abandoned.
    int askDropKind(const QPoint& screenPos);
    // The row under a drop point of the list whose icon or caption is there; -1 for none.
    int listRowAtDrop(int X, int Y) const;
    // Whether a drop at the point has a destination (asked while a drag moves, and by the
    // drop handlers).
    bool listTakesDropAt(int X, int Y) const;
    bool treeTakesDropAt(int X, int Y) const;

    // Settings, in mein_settings.cpp.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();

    // Layout, in mein_layout.cpp.
    void arrangePanels();
    void applyLayout();
    void setTreeSize(int size);
    void updatePaneBotom();

    // The views, in mein_views.cpp (the only code that talks to them).
    void createViews();
    bool treeSelectPath(const std::string& path);
    std::string treeSelectedPath() const;
    void treeRebuild(const std::string& path);
    void rebuildTreeQuietly(const ItemIDList& target);
    void setListViewStyle(int code);
    void setListColumnWidth(int column, int width);
    void listSetMyColBan(int n);
    void listFillList();
    void listSortByColumn(int n);
    void listSelectAll();
    void listUpdateFiles(const std::vector<std::string>& paths);
    bool viewsEditingName() const;

    std::string curDir_;
    std::string dllFolder_;
    int layout_ = 0;
    int sideTreeWidth_ = 0;
    int stackedTreeHeight_ = 0;
    int tabRowHeight_ = kTabRowHeight;
    bool shown_ = false;

    QToolBar* toolBar_ = nullptr;
    std::vector<QToolButton*> buttons_; // one per ToolSlot, in its order
    QMenu* popStyle_ = nullptr;
    std::array<QAction*, 4> pmStyle_{};
    QActionGroup* styleGroup_ = nullptr;
    QMenu* pmenuSort_ = nullptr;
    std::array<QAction*, 4> pmSort_{};
    QMenu* sysMenu_ = nullptr;
    QAction* saisin_ = nullptr;
    QAction* vajHel_ = nullptr;

    QWidget* area_ = nullptr; // holds paneTree, dfsSplitter1 and paneListQuick
    QWidget* paneTree_ = nullptr;
    QWidget* paneTreeTop_ = nullptr;
    QWidget* paneFolder_ = nullptr;
    QComboBox* combo_ = nullptr;
    TdfsSplitter* splitter_ = nullptr;
    QWidget* paneListQuick_ = nullptr;
    QWidget* paneList_ = nullptr;
    QWidget* paneBotom_ = nullptr;
    TTabStrip* tabs_ = nullptr;
    QToolButton* addTab_ = nullptr;   // SpeedButton1
    QToolButton* saveTabs_ = nullptr; // SpeedButton2
    int treeSize_ = 0; // paneTree's width (layout 0) or height (layout 1) as laid out

    TFolderView* tree_ = nullptr;
    TFileView* list_ = nullptr;
    FileViewSortState listSort_; // the window's: a list elsewhere keeps its own
    std::unique_ptr<TDirMonitor> monitor_;
    Services services_;
    std::unique_ptr<Progress> progress_;
    int monitorPauses_ = 0;
    NavigationController* navigation_ = nullptr;
    CopyMoveController* copyMove_ = nullptr;
    ClipboardController* clipboard_ = nullptr;
    FileCommandsController* fileCommands_ = nullptr;
    PathCopyController* pathCopy_ = nullptr;
    QuickViewController* quickView_ = nullptr;
    ShellMenuController* shellMenu_ = nullptr;
    AssociationController* associations_ = nullptr;
    ShortcutController* shortcuts_ = nullptr;
    SearchController* search_ = nullptr;
    TPasswordDlg* passwordDlg_ = nullptr;
    TPasswordDlg2* passwordDlg2_ = nullptr;
    std::vector<FeatureController*> controllers_;
    TDropDst* dropDst1_ = nullptr;
    TDropDst* dropDst2_ = nullptr;
    TOKRightDlg* okRightDlg_ = nullptr;
    bool inRebuild_ = false;   // the tree's selection changes are a rebuild's, not the user's
    bool refreshWaits_ = false; // the monitor asked for a refresh while a name was edited
};

} // namespace g3

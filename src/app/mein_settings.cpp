// Start-up and shut-down of the main window's persistent state (data.ini; the navigation
// controller keeps memo.ini).
#include "app/mein.h"

#include "app/navigation.h"

#include "ui/msgbox.h"
#include "app/splitter.h"
#include "app/quickview.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/xdgdirs.h"

#include <QGuiApplication>
#include <QScreen>

namespace g3 {

void TForm1::FormCreate() {
    // The engine's hidden work lists and the quick view's hover selection belong to the
    // engine and the list view; they set themselves up when they are built.
    dllFolder_ = joinPath(executableFolder(), "DLL") + "/";
    const FormSettings s = readDataIni(dataIniPath());
    layout_ = s.layout;
    std::vector<QRect> screens;
    for (QScreen* sc : QGuiApplication::screens()) screens.push_back(sc->geometry());
    QRect placed = correctOffScreen(QRect(s.left, s.top, s.width, s.height), screens);
    if (QScreen* sc = QGuiApplication::screenAt(placed.topLeft()) ?: QGuiApplication::primaryScreen())
        placed = fitSizeInto(placed, sc->availableGeometry());
    move(placed.topLeft());
    resize(placed.size());
    navigateTo("/");
    setListViewStyle(s.ban);
    for (int i = 0; i < 4; ++i) setListColumnWidth(i, s.haba[i]);
    navigation_->loadFavourites();
    listSetMyColBan(0);
    pmSort_[0]->setChecked(true);
    listFillList();
}

void TForm1::FormShow() {
    const QSize client = size(); // the whole inside of the window, tool bar included
    sideTreeWidth_ = client.width() / 3;
    stackedTreeHeight_ = client.height() / 3;
    applyLayout();
    tabRowHeight_ = kTabRowHeight;
    updatePaneBotom();
}

void TForm1::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

// Writes data.ini. A failed write is reported and the window still closes: keeping it
// open would trap the user in a window that cannot be closed on a read-only folder.
bool TForm1::FormCloseQuery() {
    if (quickView_) quickView_->releaseOnClose();
    FormSettings s;
    s.layout = layout_;
    s.left = x();
    s.top = y();
    s.width = width();
    s.height = height();
    s.ban = listStyleCode();
    for (int i = 0; i < 4; ++i) s.haba[i] = listColumnWidth(i);
    const std::string folder = treeSelectedPath();
    services_.boxes.runGuarded([&] { writeDataIni(dataIniPath(), s, folder); });
    return true;
}

} // namespace g3

// Navigation: the current folder, the history combo and the favourite tabs.
#include "app/mein.h"

#include "ui/msgbox.h"
#include "app/tabstrip.h"
#include "fscomp/DirMontr.h"
#include "platform/fileops.h"
#include "platform/paths.h"

#include <QApplication>
#include <QComboBox>
#include <QToolTip>

#include <algorithm>

namespace g3 {

namespace {

// The nearest of path and the folders above it that exists.
std::string nearestExistingFolder(std::string path) {
    while (!isFolder(path)) {
        std::string up = parentFolder(path);
        if (up.empty() || up == path) return "/";
        path = std::move(up);
    }
    return path;
}

} // namespace

void TForm1::ShellTreeView1Change() {
    if (inRebuild_) return;
    const std::string path = currentFolderForm(treeSelectedPath());
    if (path.empty()) return; // no selected node: the views keep what they show
    if (!curDir_.empty() && path != curDir_ && !isFolder(curDir_)) historyForget(curDir_);
    curDir_ = path;
    listSetExecDirectory(path);
    const QString shown = QString::fromUtf8(path);
    setWindowTitle(shown);
    setApplicationTitle(shown);
    historyAdd(path);
    trail_.visited(path);
    if (!monitor_) return; // the tree's first selection, while the window is being made
    monitor_->setDirectory(path);
    keepRefreshOn();
}

// Entries carry the path's bytes; the text is for display only. Adding never changes the
// entry the combo shows.
void TForm1::historyAdd(const std::string& path) {
    const QByteArray bytes = QByteArray::fromStdString(path);
    for (int i = 0; i < combo_->count(); ++i)
        if (combo_->itemData(i).toByteArray() == bytes) return;
    const QSignalBlocker quiet(combo_);
    const int shown = combo_->currentIndex();
    combo_->addItem(QString::fromUtf8(bytes), bytes);
    int keep = shown;
    if (combo_->count() > kHistoryCap) {
        combo_->removeItem(0);
        keep = std::max(shown - 1, -1);
    }
    combo_->setCurrentIndex(keep);
}

// The folder left behind no longer exists (renamed, moved or deleted): the entries of it,
// of the folders above it that went with it, and of anything below those that is gone too,
// leave the history. The entry the combo shows stays shown when it is kept.
void TForm1::historyForget(const std::string& vanished) {
    std::string top = vanished;
    for (std::string up = parentFolder(top); !up.empty() && up != top && !isFolder(up);
         up = parentFolder(up))
        top = up;
    const QSignalBlocker quiet(combo_);
    const QVariant shown = combo_->currentData();
    for (int i = combo_->count() - 1; i >= 0; --i) {
        const std::string entry = combo_->itemData(i).toByteArray().toStdString();
        if (isSameOrInside(entry, top) && !isFolder(entry)) combo_->removeItem(i);
    }
    combo_->setCurrentIndex(shown.isValid() ? combo_->findData(shown) : -1);
}

void TForm1::followShownFolder(const std::string& nowAt) {
    std::string target = currentFolderForm(nowAt);
    if (target.empty() || !isFolder(target)) target = nearestExistingFolder(curDir_);
    treeRefresh(target);
}

void TForm1::ComboBox1Change(int index) {
    if (index < 0) return;
    const std::string path = combo_->itemData(index).toByteArray().toStdString();
    try {
        navigateTo(path); // a folder that is gone leaves the view as it is
    } catch (...) {
    }
}

void TForm1::SpeedButton1Click() {
    tabs_->addTab(QString::fromUtf8(tabCaption(curDir_)));
    memo1_.push_back(curDir_);
    tabs_->setTabIndex(-1);
    updatePaneBotom();
}

void TForm1::TabControl1MouseMove(const QPoint& pos) {
    const int i = tabs_->indexOfTabAt(pos);
    const QString hint = i >= 0 ? QString::fromUtf8(memo1_[i]) : QString();
    if (hint != tabs_->toolTip()) {
        tabs_->setToolTip(hint);
        if (hint.isEmpty()) QToolTip::hideText();
    }
}

void TForm1::TabControl1MouseUp(Qt::MouseButton button, const QPoint& pos) {
    const int i = tabs_->indexOfTabAt(pos);
    if (i < 0) return;
    const std::string path = memo1_[i];
    const QString shown = QString::fromUtf8(path);
    if (button == Qt::RightButton) {
        const MsgResult r = services_.boxes.messageDlg(shown + QStringLiteral("\r\nを取り外します"),
                                       MsgKind::Confirmation, mbYes | mbCancel);
        if (r == MsgResult::Cancel) return;
        tabs_->removeTab(i);
        memo1_.erase(memo1_.begin() + i);
        updatePaneBotom();
    } else if (button == Qt::LeftButton) {
        if (isFolder(path)) {
            navigateTo(path);
            return;
        }
        services_.boxes.messageDlg(QStringLiteral("洞窟 ") + shown + QStringLiteral("\n\rの表示に失敗しました") +
                       QStringLiteral("\n\rこの洞窟は名前が変わったり埋められたかもしれません"),
                   MsgKind::Confirmation, mbOK);
    }
}

} // namespace g3

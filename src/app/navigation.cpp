#include "app/navigation.h"

#include "app/settings.h"
#include "app/tabstrip.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "ui/msgbox.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>
#include <QToolButton>
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

NavigationController::NavigationController(WindowContext& window, const NavigationWidgets& widgets,
                                           QObject* parent)
    : FeatureController(window, parent), combo_(widgets.history), tabs_(widgets.tabs) {
    connect(combo_, &QComboBox::activated, this, &NavigationController::ComboBox1Change);
    connect(widgets.addTab, &QToolButton::clicked, this, &NavigationController::SpeedButton1Click);
    connect(widgets.saveTabs, &QToolButton::clicked, this, &NavigationController::SpeedButton2Click);
    connect(tabs_, &TTabStrip::tabMouseMove, this, &NavigationController::TabControl1MouseMove);
    connect(tabs_, &TTabStrip::tabMouseUp, this, &NavigationController::TabControl1MouseUp);

    // The keys every file manager of the desktop understands for these steps.
    QAction* up = makeAction("actGoUp", {}, [this] { goUp(); });
    up->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Up), QKeySequence(Qt::Key_Backspace)});
    QAction* back = makeAction("actGoBack", {}, [this] { goBack(); });
    back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    QAction* forward = makeAction("actGoForward", {}, [this] { goForward(); });
    forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    keyActions_ = {up, back, forward};
}

void NavigationController::arrived(const std::string& from, const std::string& path) {
    if (!from.empty() && path != from && !isFolder(from)) historyForget(from);
    historyAdd(path);
    trail_.visited(path);
}

// Entries carry the path's bytes; the text is for display only. Adding never changes the
// entry the combo shows.
void NavigationController::historyAdd(const std::string& path) {
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
void NavigationController::historyForget(const std::string& vanished) {
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

void NavigationController::followShownFolder(const std::string& nowAt) {
    std::string target = currentFolderForm(nowAt);
    if (target.empty() || !isFolder(target)) target = nearestExistingFolder(window_.CurDir());
    window_.treeRefresh(target);
}

void NavigationController::ComboBox1Change(int index) {
    if (index < 0) return;
    const std::string path = combo_->itemData(index).toByteArray().toStdString();
    try {
        window_.navigateTo(path); // a folder that is gone leaves the view as it is
    } catch (...) {
    }
}

void NavigationController::loadFavourites() {
    memo1_ = readMemoIni(memoIniPath());
    for (const auto& line : memo1_) tabs_->addTab(QString::fromUtf8(tabCaption(line)));
    tabs_->setTabIndex(-1);
}

void NavigationController::SpeedButton1Click() {
    const std::string& here = window_.CurDir();
    tabs_->addTab(QString::fromUtf8(tabCaption(here)));
    memo1_.push_back(here);
    tabs_->setTabIndex(-1);
    emit favouritesChanged();
}

void NavigationController::SpeedButton2Click() {
    window_.services().boxes.runGuarded([this] { writeMemoIni(memoIniPath(), memo1_); });
}

void NavigationController::TabControl1MouseMove(const QPoint& pos) {
    const int i = tabs_->indexOfTabAt(pos);
    const QString hint = i >= 0 ? QString::fromUtf8(memo1_[i]) : QString();
    if (hint != tabs_->toolTip()) {
        tabs_->setToolTip(hint);
        if (hint.isEmpty()) QToolTip::hideText();
    }
}

void NavigationController::TabControl1MouseUp(Qt::MouseButton button, const QPoint& pos) {
    const int i = tabs_->indexOfTabAt(pos);
    if (i < 0) return;
    const std::string path = memo1_[i];
    const QString shown = QString::fromUtf8(path);
    MessageBoxes& boxes = window_.services().boxes;
    if (button == Qt::RightButton) {
        const MsgResult r = boxes.messageDlg(shown + QStringLiteral("\r\nを取り外します"),
                                             MsgKind::Confirmation, mbYes | mbCancel);
        if (r == MsgResult::Cancel) return;
        tabs_->removeTab(i);
        memo1_.erase(memo1_.begin() + i);
        emit favouritesChanged();
    } else if (button == Qt::LeftButton) {
        if (isFolder(path)) {
            window_.navigateTo(path);
            return;
        }
        boxes.messageDlg(QStringLiteral("洞窟 ") + shown + QStringLiteral("\n\rの表示に失敗しました") +
                             QStringLiteral("\n\rこの洞窟は名前が変わったり埋められたかもしれません"),
                         MsgKind::Confirmation, mbOK);
    }
}

void NavigationController::goUp() {
    const std::string& here = window_.CurDir();
    if (here != "/") window_.navigateTo(parentFolder(here));
}

void NavigationController::goBack() { walkTrail(false); }
void NavigationController::goForward() { walkTrail(true); }

// A folder of the trail that is gone is dropped from it, and the walk takes the next.
void NavigationController::walkTrail(bool forward) {
    for (;;) {
        const std::string target = forward ? trail_.stepForward() : trail_.stepBack();
        if (target.empty() || window_.navigateTo(target)) return;
        trail_.forgetStep(forward);
    }
}

} // namespace g3

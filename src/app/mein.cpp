#include "app/mein.h"

#include "app/copymove.h"
#include "ui/msgbox.h"
#include "engine/copyworker.h"
#include "app/splitter.h"
#include "app/tabstrip.h"
#include "fscomp/DirMontr.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "shellviews/FolderView.h"

#include <QCloseEvent>
#include <QComboBox>

namespace g3 {

TForm1::TForm1(const Services& services, QWidget* parent)
    : QMainWindow(parent), services_(services),
      progress_(std::make_unique<Progress>(services.progressWindow, services.pump)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Grottan3"));
    setMinimumSize(100, 100); // FormConstrainedResize
    setContextMenuPolicy(Qt::NoContextMenu);
    buildToolBar();
    buildMenus();
    buildPanels();
    buildBottom();
    createViews();

    // Active, with subfolders, for names of files and folders, attributes, sizes and
    // write times, polled every 3000 ms. It opens on the first folder shown.
    monitor_ = std::make_unique<TDirMonitor>();
    monitor_->setObjectName(QStringLiteral("DirMonitor1"));
    monitor_->setFilter(dmfFileName | dmfDirName | dmfAttributes | dmfSize | dmfLastWrite);
    monitor_->setIncludeSubDir(true);
    monitor_->setInterval(3000);
    monitor_->OnChange = [this](TDirMonitor*) { services_.boxes.runGuarded([this] { DirMonitor1Change(); }); };
    monitor_->setDirectory("/");
    monitor_->setActive(true);
    createControllers();
    FormCreate();
}

bool TForm1::navigateTo(const std::string& path) { return treeSelectPath(path); }

void TForm1::treeRefresh(const std::string& path) {
    refreshWaits_ = false;
    // The tree's node updates stay suspended for the whole rebuild, so it repaints once.
    const bool updates = tree_ && tree_->updatesEnabled();
    if (tree_) tree_->setUpdatesEnabled(false);
    treeRebuild(path);
    if (tree_) tree_->setUpdatesEnabled(updates);
}

void TForm1::closeEvent(QCloseEvent* e) {
    FormCloseQuery();
    e->accept();
}

} // namespace g3

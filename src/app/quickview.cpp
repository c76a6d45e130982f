#include "app/quickview.h"

#include "app/Unit5.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "shellviews/FileView.h"

#include <QAction>

#include <sys/stat.h>

namespace g3 {

namespace {

// A house: a regular file (links followed). A cave, a vanished name, a virtual item (no
// path) and a FIFO or device (which reading would wait on for ever) are none.
bool isHouse(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QuickViewController::QuickViewController(WindowContext& window, ToolPlaces& places,
                                         TFileView& list, QObject* parent)
    : FeatureController(window, parent), list_(list) {
    quick_ = makeTool(places, ToolSlot::Quick, [this] { tbtnQuickClick(); });
    quick_->setCheckable(true);
    connect(&list_, &TFileView::OnChange, this,
            [this] { window_.services().boxes.runGuarded([this] { ShellListView1Change(); }); });
}

bool QuickViewController::on() const { return quick_->isChecked(); }

void QuickViewController::tbtnQuickClick() {
    if (!quick_->isChecked()) {
        switchOff();
        return;
    }
    if (!form5_) {
        form5_ = new TForm5(window_.dialogOwner());
        connect(form5_, &TForm5::closedByUser, this, [this] { switchOff(); });
    }
    form5_->hideBoxes();
    form5_->showOver(window_.dialogOwner());
    shownPath_.clear();
    shownPage_ = -1;
    list_.setHotTrack(true);
}

void QuickViewController::switchOff() {
    if (form5_) {
        form5_->stopMedia();
        form5_->hide();
    }
    quick_->setChecked(false);
    list_.setHotTrack(false);
}

void QuickViewController::releaseOnClose() { switchOff(); }

void QuickViewController::ShellListView1Change() {
    if (!form5_ || !form5_->isVisible() || list_.selectedRows().size() != 1) return;
    const std::string path = list_.GetSelectedPath();
    const int page = form5_->pageIndex();
    if (path == shownPath_ && page == shownPage_) return;
    shownPath_ = path;
    shownPage_ = page;
    form5_->setWindowTitle(QString::fromStdString(displayTextOf(namePart(path))));
    if (!isHouse(path)) {
        form5_->hideBoxes();
        return;
    }
    switch (page) {
    case TForm5::tbsImage: form5_->showPicture(path); break;
    case TForm5::tbsMemo: form5_->showText(path); break;
    case TForm5::tbsMedia:
        // Any other house leaves what plays playing.
        if (TForm5::isMediaFile(path)) form5_->playMedia(path);
        break;
    default: break;
    }
}

} // namespace g3

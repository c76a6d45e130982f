// The window's own commands: list style and sort menus, the automatic refresh, select
// all, the about window and one more instance; the input dialog the commands share.
#include "app/mein.h"

#include "app/OKRightDlg.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/copymove.h"
#include "app/startup.h"
#include "ui/msgbox.h"
#include "fscomp/DirMontr.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "shellviews/FileView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QProcess>
#include <QToolButton>

namespace g3 {

void TForm1::popStylePopup() {
    const int code = listStyleCode();
    pmStyle_[code - 1]->setChecked(true);
}

void TForm1::setListStyle(int code) {
    pmStyle_[code - 1]->setChecked(true);
    setListViewStyle(code);
}

void TForm1::sortMenuClick(int column) {
    listSetMyColBan(column);
    listSortByColumn(column);
    for (int i = 0; i < 4; ++i) pmSort_[i]->setChecked(i == column);
}

void TForm1::tbtnSaisinClick() {
    if (saisin_->isChecked()) {
        monitor_->setActive(false);
    } else {
        monitor_->setActive(true);
        treeRefresh();
    }
}

void TForm1::DirMonitor1Change() {
    if (monitor_->FolderGone()) {
        followShownFolder(monitor_->FolderNowAt());
    } else if (!monitor_->ChangedFiles().empty()) {
        listUpdateFiles(monitor_->ChangedFiles()); // no name came or went: the rows stay
    } else if (viewsEditingName()) {
        refreshWaits_ = true; // a rebuild would close the editor and drop what was typed
    } else {
        treeRefresh();
    }
    keepRefreshOn();
}

void TForm1::takeWaitingRefresh() {
    if (refreshWaits_ && !viewsEditingName()) treeRefresh();
}

// A monitor closes itself when its folder disappears, and stays closed when a folder
// cannot be watched; while the refresh button is up it tries again on the folder shown,
// so one such folder never ends the refresh for the rest of the session.
void TForm1::keepRefreshOn() {
    if (monitorPauses_ == 0 && !monitor_->Active() &&
        !saisin_->isChecked())
        monitor_->setActive(true);
}

void TForm1::pauseMonitor() {
    ++monitorPauses_;
    monitor_->setActive(false);
}

void TForm1::resumeMonitor() {
    if (monitorPauses_ > 0 && --monitorPauses_ == 0) monitor_->setActive(true);
}

void TForm1::tbtnZenSentakClick() { listSelectAll(); }

std::string TForm1::selectedItemText(int column) const {
    const std::vector<int> rows = list_->selectedRows();
    if (rows.size() != 1) return {};
    const FileListModel* m = list_->model();
    return m->data(m->index(rows[0], column), Qt::DisplayRole).toString().toUtf8().toStdString();
}

TPasswordDlg& TForm1::PasswordDlg() {
    if (!passwordDlg_) {
        passwordDlg_ = new TPasswordDlg(this);
        passwordDlg_->setObjectName(QStringLiteral("PasswordDlg"));
    }
    return *passwordDlg_;
}

TPasswordDlg2& TForm1::PasswordDlg2() {
    if (!passwordDlg2_) {
        passwordDlg2_ = new TPasswordDlg2(this);
        passwordDlg2_->setObjectName(QStringLiteral("PasswordDlg2"));
    }
    return *passwordDlg2_;
}

bool TForm1::busyBelow(const std::string& folder) const {
    for (const FeatureController* c : controllers_)
        if (c->worksBelow(folder)) return true;
    return false;
}

void TForm1::goUp() {
    if (curDir_ != "/") navigateTo(parentFolder(curDir_));
}

void TForm1::goBack() { walkTrail(false); }
void TForm1::goForward() { walkTrail(true); }

// A folder of the trail that is gone is dropped from it, and the walk takes the next.
void TForm1::walkTrail(bool forward) {
    for (;;) {
        const std::string target = forward ? trail_.stepForward() : trail_.stepBack();
        if (target.empty() || navigateTo(target)) return;
        trail_.forgetStep(forward);
    }
}

void TForm1::setOKRightDlg(TOKRightDlg* dlg) {
    okRightDlg_ = dlg;
    vajHel_->setEnabled(dlg != nullptr);
    if (copyMove_) copyMove_->setErrorWindow(dlg);
}

void TForm1::tbtnVajHelClick() {
    if (okRightDlg_) okRightDlg_->showAbout();
}

void TForm1::raiseWindow() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool TForm1::askInput(const InputRequest& req, std::string& text) {
    TPasswordDlg* dlg = &PasswordDlg();
    if (bringToFrontIfShowing(dlg)) return false;
    dlg->setWindowTitle(QString::fromStdString(req.caption));
    dlg->Label1->setText(displayLines(QString::fromStdString(req.prompt)));
    if (!req.okCaption.empty()) dlg->OKBtn->setText(QString::fromStdString(req.okCaption));
    if (req.prefill) dlg->Password->setText(QString::fromStdString(text));
    if (dlg->exec() != QDialog::Accepted) return false;
    // A name handed in keeps the bytes the field could only show as U+FFFD where the user
    // left them alone.
    const std::string typed = dlg->Password->text().toStdString();
    text = req.prefill ? nameAfterEdit(text, typed) : typed;
    return true;
}

void TForm1::startSecondInstance() {
    // Started detached in the current folder of this process; failures stay silent.
    QProcess::startDetached(QString::fromLocal8Bit(secondInstanceProgram()), {},
                            QDir::currentPath());
}

} // namespace g3

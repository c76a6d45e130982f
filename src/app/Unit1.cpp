#include "app/Unit1.h"

#include "ui/placement.h"

#include "platform/dostime.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace g3 {

namespace {
constexpr int kClientWidth = 745;
constexpr int kMargin = 8;
constexpr int kFieldWidth = 729;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 25;
} // namespace

TPasswordDlg::TPasswordDlg(QWidget* parent) : TPasswordDlg(parent, 106, 77) {
    Label1->setGeometry(kMargin, 8, kFieldWidth, 44);
    Password->setGeometry(kMargin, 52, kFieldWidth, 21);
}

TPasswordDlg::TPasswordDlg(QWidget* parent, int clientHeight, int buttonTop)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    build(clientHeight, buttonTop);
}

void TPasswordDlg::build(int clientHeight, int buttonTop) {
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("パスワードダイアログ"));
    setFixedSize(kClientWidth, clientHeight);
    Label1 = new QLabel(QStringLiteral("パスワードの入力 :"), this);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Password = new QLineEdit(this);
    OKBtn = new QPushButton(QStringLiteral("OK(&O)"), this);
    OKBtn->setToolTip(QStringLiteral("右クリックで時刻セット"));
    OKBtn->setDefault(true);
    OKBtn->installEventFilter(this);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル(&C)"), this);
    const int cancelLeft = kClientWidth - kMargin - kButtonWidth;
    CancelBtn->setGeometry(cancelLeft, buttonTop, kButtonWidth, kButtonHeight);
    OKBtn->setGeometry(cancelLeft - kMargin - kButtonWidth, buttonTop, kButtonWidth,
                       kButtonHeight);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    centreOnScreen(this);
}

void TPasswordDlg::FormShow() {
    Password->setFocus(Qt::OtherFocusReason);
    Password->selectAll();
}

void TPasswordDlg::OKBtnMouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) Password->setText(QString::fromStdString(timeStampNow()));
}

void TPasswordDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

// A right button on OK sets the time stamp and is kept from the button, so it neither
// presses it nor closes the dialog.
bool TPasswordDlg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == OKBtn &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick ||
         e->type() == QEvent::MouseButtonRelease)) {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::RightButton) {
            if (e->type() != QEvent::MouseButtonRelease) OKBtnMouseDown(Qt::RightButton);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

bool bringToFrontIfShowing(QWidget* dlg) {
    if (!dlg || !dlg->isVisible()) return false;
    dlg->raise();
    dlg->activateWindow();
    return true;
}

} // namespace g3

#include "ui/msgbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <stdexcept>
#include <utility>
#include <vector>

namespace g3 {

namespace {

QString& titleStore() {
    static QString title = QStringLiteral("Grottan3");
    return title;
}

QString kindCaption(MsgKind kind) {
    switch (kind) {
    case MsgKind::Information: return QStringLiteral("情報");
    case MsgKind::Confirmation: return QStringLiteral("確認");
    case MsgKind::Warning: return QStringLiteral("警告");
    case MsgKind::Error: return QStringLiteral("エラー");
    case MsgKind::Custom: return applicationTitle();
    }
    return {};
}

QMessageBox::Icon kindIcon(MsgKind kind) {
    switch (kind) {
    case MsgKind::Information: return QMessageBox::Information;
    case MsgKind::Confirmation: return QMessageBox::Question;
    case MsgKind::Warning: return QMessageBox::Warning;
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Custom: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

// The answer a box gives when it is closed without a button.
MsgResult closeAnswer(MsgButtons buttons) {
    if (buttons & mbCancel) return MsgResult::Cancel;
    if (buttons & mbNo) return MsgResult::No;
    if (buttons & mbOK) return MsgResult::OK;
    return MsgResult::Yes;
}

} // namespace

MsgResult ScreenMessageBoxes::show(const MessageRequest& req, QWidget* parent) {
    QMessageBox box(kindIcon(req.kind), req.caption, displayLines(req.text), QMessageBox::NoButton,
                    parent ? parent : QApplication::activeWindow());
    struct Choice {
        MsgButton flag;
        const char* text;
        QMessageBox::ButtonRole role;
        MsgResult result;
    };
    static const Choice choices[] = {
        {mbYes, "はい(&Y)", QMessageBox::YesRole, MsgResult::Yes},
        {mbYesToAll, "すべてはい(&A)", QMessageBox::YesRole, MsgResult::YesToAll},
        {mbNo, "いいえ(&N)", QMessageBox::NoRole, MsgResult::No},
        {mbOK, "OK", QMessageBox::AcceptRole, MsgResult::OK},
        {mbCancel, "キャンセル", QMessageBox::RejectRole, MsgResult::Cancel},
    };
    std::vector<std::pair<QAbstractButton*, MsgResult>> made;
    for (const auto& c : choices) {
        if (!(req.buttons & c.flag)) continue;
        QPushButton* b = box.addButton(QString::fromUtf8(c.text), c.role);
        made.emplace_back(b, c.result);
        if (made.size() == 1) box.setDefaultButton(b);
    }
    box.exec();
    for (const auto& [button, result] : made)
        if (box.clickedButton() == button) return result;
    return closeAnswer(req.buttons);
}


QString displayLines(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            out += c;
            continue;
        }
        out += u'\n';
        // The other half of a pair belongs to the same break.
        if (i + 1 < text.size() && (text[i + 1] == u'\r' || text[i + 1] == u'\n') && text[i + 1] != c)
            ++i;
    }
    return out;
}

void setApplicationTitle(const QString& title) { titleStore() = title; }
QString applicationTitle() { return titleStore(); }

MsgResult MessageBoxes::messageDlg(const QString& text, MsgKind kind, MsgButtons buttons) {
    MessageRequest req{false, kind, kindCaption(kind), text, buttons};
    return show(req, nullptr);
}

MsgResult MessageBoxes::messageBox(QWidget* parent, const QString& text, const QString& caption,
                                   MsgKind kind, MsgButtons buttons) {
    MessageRequest req{true, kind, caption, text, buttons};
    return show(req, parent);
}

void MessageBoxes::showException(const std::exception& e) {
    messageDlg(QString::fromUtf8(e.what()), MsgKind::Error, mbOK);
}

void MessageBoxes::showCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        showException(e);
    } catch (...) {
        showException(std::runtime_error("不明なエラーが発生しました"));
    }
}

void MessageBoxes::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        showCurrentException();
    }
}

} // namespace g3

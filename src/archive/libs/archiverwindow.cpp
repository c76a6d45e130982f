#include "archive/libs/archiverwindow.h"

#include "platform/codepage.h"
#include "platform/numfmt.h"
#include "platform/paths.h"
#include "ui/msgbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace g3 {

namespace {

// Texts are made at run time, never from literals kept in the module's own data: the
// module is unloaded after the command, and a string of Qt's may outlive it.
QString u8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
QString u8(const char* s) {
    return QString::fromUtf8(s);
}
QString shown(const std::string& bytes) {
    return u8(displayTextOf(bytes));
}
QString bytesText(std::uint64_t v) {
    return u8(formatGrouped(static_cast<std::int64_t>(v)) + " Byte");
}

bool thawing(const ArchiverJob& job) {
    return job.kind() == ArchiverJob::Kind::Thaw;
}

} // namespace

QString archiverTitle(const ArchiverJob& job) {
    return u8(thawing(job) ? "冷凍団地を解凍しています" : "冷凍団地に凍結しています");
}

QString archiverReplaceText(const ArchiverJob& job, const ReplaceInfo& info) {
    auto facts = [](std::int64_t size, const std::string& time) {
        std::string s;
        if (size >= 0) s += "    " + formatGrouped(size) + " Byte\n";
        if (!time.empty()) s += "    改築日時: " + time + "\n";
        return s;
    };
    std::string text;
    if (thawing(job)) {
        text = "洞窟「" + displayTextOf(parentFolder(info.path)) + "」には既に「" +
               displayTextOf(namePart(info.path)) + "」という家があります。\n\n今ある家\n" +
               facts(info.oldSize, info.oldTime) + "を、冷凍団地の家で置き換えますか？\n" +
               facts(info.newSize, info.newTime);
    } else {
        text = "冷凍団地「" + displayTextOf(namePart(info.path)) + "」は既にあります。\n" +
               facts(info.oldSize, info.oldTime) + "新しく凍結した冷凍団地で置き換えますか？";
    }
    return u8(text);
}

ReplaceAnswer askArchiverReplace(QWidget* parent, MessageBoxes& boxes, const ArchiverJob& job,
                                 const ReplaceInfo& info) {
    const MsgButtons buttons =
        thawing(job) ? (mbYes | mbYesToAll | mbNo | mbCancel) : (mbYes | mbNo);
    switch (boxes.messageBox(parent, archiverReplaceText(job, info), u8("家の置き換えの確認"),
                       MsgKind::Confirmation, buttons)) {
    case MsgResult::Yes:
        return ReplaceAnswer::Yes;
    case MsgResult::YesToAll:
        return ReplaceAnswer::YesToAll;
    case MsgResult::No:
        return ReplaceAnswer::No;
    case MsgResult::OK:
    case MsgResult::Cancel:
        break;
    }
    return ReplaceAnswer::Cancel;
}

void showArchiverReport(QWidget* parent, MessageBoxes& boxes, const ArchiverJob& job) {
    const std::string text = reportText(job, 30);
    if (text.empty()) return;
    boxes.messageBox(parent, u8(text), u8(thawing(job) ? "解凍のエラー" : "凍結のエラー"), MsgKind::Error,
               mbOK);
}

TArchiverProgressDlg::TArchiverProgressDlg(ArchiverJob& job, MessageBoxes& boxes, QWidget* owner)
    : TWorkProgressDlg(archiverTitle(job), owner), job_(job), boxes_(boxes) {
    lblArchive = addLine(400);
    lblEntry = addLine(400);
    lblBytes = addLineBelow();
    lblCount = addLineBelow();
    refresh();
}

void TArchiverProgressDlg::refresh() {
    lblArchive->setText(u8("冷凍団地: ") + shown(namePart(job_.archive())));
    const std::string entry = job_.currentEntry();
    lblEntry->setText(entry.empty() ? QString() : u8("家: ") + shown(entry));
    const std::uint64_t done = job_.bytesDone(), total = job_.bytesTotal();
    lblBytes->setText(bytesText(done) + u8(" / ") + bytesText(total));
    lblCount->setText(QString::number(job_.entriesDone()) +
                      u8(thawing(job_) ? " 軒の家を解凍しました" : " 軒の家を凍結しました"));
    setBar(double(done), double(total));
}

int TArchiverProgressDlg::execute() {
    job_.setReplaceQuestion([this](const ReplaceInfo& info) {
        ReplaceAnswer a = ReplaceAnswer::Cancel;
        QMetaObject::invokeMethod(
            this, [&] { a = askArchiverReplace(this, boxes_, job_, info); }, Qt::BlockingQueuedConnection);
        return a;
    });
    // The window closes as soon as the job has ended, not at the next tick.
    job_.setOnFinished([this] {
        QMetaObject::invokeMethod(
            this, [this] { accept(); }, Qt::QueuedConnection);
    });
    runModal([this] { job_.start(); }, [this] { job_.wait(); });
    job_.setReplaceQuestion({});
    job_.setOnFinished({});
    return job_.result();
}

} // namespace g3

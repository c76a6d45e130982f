#include "engine/shellfileopdlg.h"

#include "ui/msgbox.h"
#include "platform/errors.h"
#include "platform/numfmt.h"
#include "platform/paths.h"
#include "platform/transfer.h"

#include <QApplication>
#include <QFile>
#include <QLabel>

namespace g3 {

namespace {

// Names are bytes; the window shows them as the locale decodes them.
QString shown(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

QString grouped(std::int64_t v) { return QString::fromStdString(formatGrouped(v)) + "Byte"; }

QString verbOf(unsigned func) {
    switch (func) {
    case FO_MOVE: return QStringLiteral("移動");
    case FO_DELETE: return QStringLiteral("削除");
    default: return QStringLiteral("コピー");
    }
}

QString speedText(double bytesPerSecond) {
    if (bytesPerSecond >= 1024.0 * 1024.0)
        return QString::number(bytesPerSecond / (1024.0 * 1024.0), 'f', 1) + " MB/秒";
    return QString::number(bytesPerSecond / 1024.0, 'f', 1) + " KB/秒";
}

} // namespace

QString defaultFileOpTitle(unsigned func, unsigned flags) {
    if (func == FO_DELETE && (flags & FOF_ALLOWUNDO)) return QStringLiteral("家をごみ箱へ送っています");
    return "家を" + verbOf(func) + "しています";
}

QString deleteQuestionText(const ShellFileOpRequest& r) {
    const bool undo = r.flags & FOF_ALLOWUNDO;
    QString what = "これら " + QString::number(r.from.size()) + " 個の家や洞窟を";
    if (r.from.size() == 1) {
        const bool folder = entryKindOf(r.from[0]) == EntryKind::Folder; // a link goes as a link
        what = (folder ? "洞窟「" : "家「") + shown(namePart(r.from[0])) + (folder ? "」を中身ごと" : "」を");
    }
    return what + (undo ? QStringLiteral("ごみ箱へ送りますか？")
                        : QStringLiteral("完全に削除しますか？\n削除したものは元に戻せません。"));
}

QString deleteQuestionCaption(const ShellFileOpRequest& r) {
    return (r.flags & FOF_ALLOWUNDO) ? QStringLiteral("ごみ箱へ送る確認") : QStringLiteral("削除の確認");
}

QString trashFailuresText(const std::vector<FileOpError>& errors) {
    constexpr std::size_t kShown = 15;
    QString text = QString::number(errors.size()) +
                   " 個の家や洞窟はごみ箱へ送れなかったので、元の場所に残っています。\n";
    for (std::size_t i = 0; i < errors.size() && i < kShown; ++i)
        text += "\n" + fileOpErrorText(errors[i]);
    if (errors.size() > kShown) text += "\n\nほか " + QString::number(errors.size() - kShown) + " 個";
    return text;
}

QString replaceQuestionText(const ReplaceInfo& info) {
    auto facts = [](std::int64_t size, const std::string& time) {
        QString s;
        if (size >= 0) s += "    " + grouped(size) + "\n";
        if (!time.empty()) s += "    更新日時: " + QString::fromStdString(time) + "\n";
        return s;
    };
    return "この洞窟には既に「" + shown(namePart(info.dst)) + "」という家があります。\n\n" +
           "今ある家\n" + facts(info.dstSize, info.dstTime) + "を、次の家で置き換えますか？\n" +
           facts(info.srcSize, info.srcTime);
}

QString fileOpErrorText(const FileOpError& e) {
    const QString verb = verbOf(e.func);
    const QString item = "「" + shown(e.path) + "」";
    switch (e.problem) {
    case FileOpProblem::IntoItself:
        return "洞窟" + item + "を、その中の洞窟「" + shown(e.target) + "」へ" + verb +
               "することはできません。";
    case FileOpProblem::SameFile:
        return item + "は" + verb + "先と同じ家なので、" + verb + "できません。";
    case FileOpProblem::Special:
        return item + "は普通の家ではない（デバイスやパイプなど）ので、" + verb + "しません。";
    case FileOpProblem::NotFolder:
        return "「" + shown(e.target) + "」には家と洞窟の同じ名前があるので、" + item + "を" +
               verb + "できません。";
    case FileOpProblem::System: break;
    }
    QString why = QString::fromStdString(systemErrorText(e.code));
    const QString failed = e.toTrash ? item + "をごみ箱へ送れません。" : item + "を" + verb + "できません。";
    return failed + (why.isEmpty() ? QString() : "\n" + why);
}

TShellFileOpDlg::TShellFileOpDlg(ShellFileOperation& op, MessageBoxes& boxes, QWidget* parent)
    : TWorkProgressDlg(op.request().title.empty() ? defaultFileOpTitle(op.request().func, op.request().flags)
                                                  : QString::fromStdString(op.request().title),
                       parent),
      op_(op), boxes_(boxes) {
    lblFrom = addLine(380);
    lblTo = addLine(380);
    for (QLabel* l : {lblFrom, lblTo}) l->setVisible(!(op.request().flags & FOF_SIMPLEPROGRESS));
    lblCount = addLineBelow();
    lblBytes = addLineBelow();
    lblSpeed = addLineBelow();
    refresh();
}

void TShellFileOpDlg::refresh() {
    std::string src, dst;
    op_.current(src, dst);
    const QString verb = verbOf(op_.request().func);
    lblFrom->setText(src.empty() ? QString() : "「" + shown(namePart(src)) + "」を" + verb);
    lblTo->setText(dst.empty() ? QString() : "先: 「" + shown(parentFolder(dst)) + "」");
    const std::uint64_t files = op_.filesDone(), filesTotal = op_.filesTotal();
    const std::uint64_t bytes = op_.bytesDone(), bytesTotal = op_.bytesTotal();
    lblCount->setText(QString::number(files) + " / " + QString::number(filesTotal) + " 個の家");
    lblBytes->setText(grouped(static_cast<std::int64_t>(bytes)) + " / " +
                      grouped(static_cast<std::int64_t>(bytesTotal)));
    const double seconds = clock_.isValid() ? clock_.elapsed() / 1000.0 : 0.0;
    lblSpeed->setText("速度: " + speedText(seconds > 0.05 ? bytes / seconds : 0.0));
    if (bytesTotal)
        setBar(double(bytes), double(bytesTotal));
    else
        setBar(double(files), double(filesTotal));
}

ReplaceAnswer TShellFileOpDlg::askReplace(const ReplaceInfo& info) {
    MsgResult r = boxes_.messageBox(this, replaceQuestionText(info), QStringLiteral("家の置き換えの確認"),
                             MsgKind::Confirmation, mbYes | mbYesToAll | mbNo | mbCancel);
    switch (r) {
    case MsgResult::Yes: return ReplaceAnswer::Yes;
    case MsgResult::YesToAll: return ReplaceAnswer::YesToAll;
    case MsgResult::No: return ReplaceAnswer::No;
    case MsgResult::OK:
    case MsgResult::Cancel: break;
    }
    return ReplaceAnswer::Cancel;
}

// OK goes on with the next item, キャンセル stops the job. A refused folder into itself
// has nothing left to go on with.
bool TShellFileOpDlg::reportError(const FileOpError& error) {
    const QString caption = verbOf(error.func) + "のエラー";
    if (error.problem == FileOpProblem::IntoItself) {
        boxes_.messageBox(this, fileOpErrorText(error), caption, MsgKind::Error, mbOK);
        return false;
    }
    return boxes_.messageBox(this, fileOpErrorText(error), caption, MsgKind::Error, mbOK | mbCancel) ==
           MsgResult::OK;
}

int TShellFileOpDlg::execute() {
    op_.setReplaceQuestion([this](const ReplaceInfo& info) {
        ReplaceAnswer a = ReplaceAnswer::Cancel;
        onWindowThread(this, [&] { a = askReplace(info); });
        return a;
    });
    // Items that cannot go to the trash are reported together at the end: the reason is
    // mostly the same for all of them (a file system without a trash, no permission).
    const bool toTrash = op_.request().func == FO_DELETE && (op_.request().flags & FOF_ALLOWUNDO);
    op_.setErrorHandler([this, toTrash](const FileOpError& e) {
        if (toTrash) return true;
        bool goOn = false;
        onWindowThread(this, [&] { goOn = reportError(e); });
        return goOn;
    });
    clock_.start();
    runModal([this] { op_.start(); }, [this] { op_.wait(); });
    // The job outlives this window: it must not call back into it.
    op_.setReplaceQuestion({});
    op_.setErrorHandler({});
    if (toTrash && !op_.errors().empty())
        boxes_.messageBox(parentWidget(), trashFailuresText(op_.errors()), QStringLiteral("ごみ箱へ送れなかった家"),
                          MsgKind::Warning, mbOK);
    return op_.result();
}

int runShellFileOperation(ShellFileOperation& op, MessageBoxes& boxes, QWidget* parent) {
    if (!parent) parent = QApplication::activeWindow();
    const ShellFileOpRequest& r = op.request();
    if (r.func == FO_DELETE && !(r.flags & FOF_NOCONFIRMATION) &&
        boxes.messageBox(parent, deleteQuestionText(r), deleteQuestionCaption(r), MsgKind::Confirmation,
                         mbYes | mbNo) != MsgResult::Yes)
        return kErrorCancelled;
    TShellFileOpDlg dlg(op, boxes, parent);
    return dlg.execute();
}

} // namespace g3

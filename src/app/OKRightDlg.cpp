#include "app/OKRightDlg.h"

#include "ui/msgbox.h"
#include "ui/placement.h"
#include "engine/errorlist.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextDocument>

namespace g3 {

QString aboutText() {
    return QStringLiteral(
        "「Grottan3」 V8.6\n"
        "\n"
        "洞窟（フォルダ）と家（ファイル）を探検する、ひとり用の小さな道具です。\n"
        "左の洞窟の地図で洞窟を選ぶと、右にその洞窟に建っている家が並びます。\n"
        "\n"
        "・ほかのプログラムから家や洞窟を落とすと、建て増し（コピー）か引っ越し（移動）かを\n"
        "  選べます。同じ名前の家があるときは、一軒ずつ確かめることもできます。\n"
        "・洞窟を掘る（新しいフォルダ）、洞窟を埋める（削除）、家の立ち退き（ごみ箱へ）。\n"
        "・表札（ファイル名）をまとめて書き換えたり、洞窟の奥まで家を探したりできます。\n"
        "・冷凍団地（書庫）の解凍と凍結、近道（ショートカット）作り、親戚になる（関連付け）。\n"
        "・下のタブには、お気に入りの洞窟をしまっておけます。\n"
        "\n"
        "うまく建て増しや引っ越しができなかった家は、最後にまとめてお知らせします。\n");
}

TOKRightDlg::TOKRightDlg(MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      boxes_(boxes) {
    setObjectName(QStringLiteral("OKRightDlg"));
    setWindowTitle(QStringLiteral("Grottan3"));
    setFixedSize(637, 640);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setReadOnly(true);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->hide();
    centreOnScreen(this);
}

void TOKRightDlg::AddErrorMessage(const std::string& First, const std::string& Second,
                                  std::int32_t Code) {
    errors_.AddErrorMessage(First, Second, Code);
}

void TOKRightDlg::resizeEvent(QResizeEvent*) {
    Memo1->setGeometry(rect());
    Memo2->setGeometry(rect());
}

void TOKRightDlg::showAbout() {
    setWindowTitle(QStringLiteral("About Grottan3"));
    // Put in on first showing: laying the text out when the program starts would hold up
    // the main window for a window most sessions never open.
    if (Memo1->document()->isEmpty()) Memo1->setPlainText(aboutText());
    Memo2->hide();
    Memo1->setGeometry(rect());
    Memo1->show();
    show();
    raise();
    activateWindow();
}

// Entries hold CR LF between their lines; the memo shows each entry on three lines.
void TOKRightDlg::prepareErrorList() {
    QStringList lines;
    for (const std::string& e : errors_.entries())
        lines << displayLines(QString::fromUtf8(e));
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));
    Memo1->hide();
    Memo2->setGeometry(rect());
    setWindowTitle(QStringLiteral("Grottan3 実行結果エラー一覧"));
    Memo2->show();
}

void TOKRightDlg::showErrorList() {
    // The about text may be showing without blocking; the list needs the window modal.
    if (isVisible()) hide();
    prepareErrorList();
    exec();
}

bool TOKRightDlg::askShowErrorList(const std::string& question) {
    return boxes_.messageDlg(QString::fromUtf8(question), MsgKind::Warning, mbYes | mbNo) ==
           MsgResult::Yes;
}

} // namespace g3

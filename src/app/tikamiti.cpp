#include "app/tikamiti.h"

#include "app/FldrDlg.h"
#include "platform/codepage.h"
#include "ui/placement.h"
#include "ui/programicon.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace g3 {

namespace {

constexpr int kClientWidth = 369;
constexpr int kClientHeight = 164;
constexpr int kMargin = 8;
constexpr int kLabelWidth = 84;
constexpr int kFieldLeft = kMargin + kLabelWidth + 4;
constexpr int kFieldWidth = kClientWidth - kMargin - kFieldLeft;
constexpr int kRowHeight = 22;
constexpr int kRowStep = 28;
constexpr int kBrowseWidth = 24;
constexpr int kButtonWidth = 85;
constexpr int kButtonHeight = 25;

// The property that holds the bytes a field's text was set from.
constexpr char kBytes[] = "g3bytes";

} // namespace

TdlgTikamiti::TdlgTikamiti(TFolderDialog* browse, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      browse_(browse) {
    setObjectName(QStringLiteral("dlgTikamiti"));
    setWindowTitle(QStringLiteral("Grottan2 近道（ショートカット）の作成"));
    setFixedSize(kClientWidth, kClientHeight);
    struct Row {
        const char* label;
        const char* hint;
    };
    const Row rows[] = {
        {"行き先の家", "ショートカットリンク先のファイル名"},
        {"近道の名前", "ショートカットにつける名前"},
        {"作業する場所", "実行時のディレクトリ"},
        {"近道の場所", "ショートカットを置くディレクトリ"},
    };
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(QString::fromUtf8(rows[i].label), this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setToolTip(QString::fromUtf8(rows[i].hint));
        l->setGeometry(kMargin, kMargin + i * kRowStep, kLabelWidth, kRowHeight);
    }
    const auto rowTop = [](int i) { return kMargin + i * kRowStep; };
    lblFailu = new QLabel(this);
    lblFailu->setObjectName(QStringLiteral("lblFailu"));
    lblFailu->setFrameShape(QFrame::StyledPanel);
    lblFailu->setFrameShadow(QFrame::Sunken);
    lblFailu->setAutoFillBackground(true);
    QPalette white = lblFailu->palette();
    white.setColor(QPalette::Window, Qt::white);
    lblFailu->setPalette(white);
    lblFailu->setGeometry(kFieldLeft, rowTop(0), kFieldWidth, kRowHeight);
    edNamae = new QLineEdit(this);
    edNamae->setObjectName(QStringLiteral("edNamae"));
    edNamae->setGeometry(kFieldLeft, rowTop(1), kFieldWidth, kRowHeight);
    const auto pathRow = [&](int i, const char* name, const char* buttonName, QToolButton*& button) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(kFieldLeft, rowTop(i), kFieldWidth - kBrowseWidth - 2, kRowHeight);
        button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(buttonName));
        button->setIcon(programIcon("cave"));
        button->setToolTip(QStringLiteral("フォルダの参照"));
        button->setGeometry(kClientWidth - kMargin - kBrowseWidth, rowTop(i), kBrowseWidth, kRowHeight);
        return e;
    };
    edsagyoBasyo = pathRow(2, "edsagyoBasyo", "bbtnSagyo", bbtnSagyo);
    edOkubasyo = pathRow(3, "edOkubasyo", "bbtnTikaOku", bbtnTikaOku);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    const int buttonTop = kClientHeight - kMargin - kButtonHeight;
    CancelBtn->setGeometry(kClientWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    OKBtn->setGeometry(kClientWidth - 2 * (kMargin + kButtonWidth), buttonTop, kButtonWidth, kButtonHeight);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(bbtnSagyo, &QToolButton::clicked, this, &TdlgTikamiti::bbtnSagyoClick);
    connect(bbtnTikaOku, &QToolButton::clicked, this, &TdlgTikamiti::bbtnTikaOkuClick);
    centreOnScreen(this);
}

void TdlgTikamiti::bbtnSagyoClick() {
    browseInto(edsagyoBasyo, "Grottan2  ショートカットの作業フォルダ選択");
}

void TdlgTikamiti::bbtnTikaOkuClick() {
    browseInto(edOkubasyo, "Grottan2  ショートカットを置くフォルダ選択");
}

void TdlgTikamiti::browseInto(QLineEdit* field, const char* title) {
    browse_->Title = title;
    browse_->Folder = fieldBytes(field);
    if (browse_->Execute()) setField(field, browse_->Folder);
}

void TdlgTikamiti::setField(QLineEdit* field, const std::string& bytes) {
    field->setProperty(kBytes, QByteArray::fromStdString(bytes));
    field->setText(QString::fromStdString(displayTextOf(bytes)));
}

std::string TdlgTikamiti::fieldBytes(const QLineEdit* field) {
    return nameAfterEdit(field->property(kBytes).toByteArray().toStdString(), field->text().toStdString());
}

} // namespace g3

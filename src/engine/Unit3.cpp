#include "engine/Unit3.h"

#include "ui/placement.h"
#include "engine/samename.h"
#include "platform/paths.h"
#include "ui/programicon.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace g3 {

namespace {

QString text(const char* s) { return QString::fromUtf8(s); }
QString text(const std::string& s) { return QString::fromUtf8(s); }

// Labels size themselves to their text, from a fixed top left corner.
QLabel* autoLabel(QWidget* parent, int left, int top, const QString& s = {}) {
    auto* l = new QLabel(s, parent);
    l->move(left, top);
    l->adjustSize();
    return l;
}

void setAutoText(QLabel* l, const std::string& s) {
    l->setText(text(s));
    l->adjustSize();
}

QLineEdit* hintedEdit(QWidget* parent, int left, int top) {
    auto* e = new QLineEdit(parent);
    e->setGeometry(left, top, 641, 23);
    e->setReadOnly(true);
    return e;
}

} // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(text(kSameNameCaption));
    setFixedSize(719, 263);
    Label1 = autoLabel(this, 8, 8);
    Label2 = autoLabel(this, 8, 34, text(kSameNameFolderLabel));
    Edit1 = hintedEdit(this, 64, 31);
    Label7 = autoLabel(this, 8, 68, text(kSameNameFileLabel));
    Edit2 = hintedEdit(this, 64, 64);
    Image1 = new QLabel(this);
    Image1->setGeometry(8, 104, 64, 64);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4 = autoLabel(this, 88, 106);
    Label3 = autoLabel(this, 88, 138);
    Label6 = autoLabel(this, 88, 186);
    Label5 = autoLabel(this, 88, 218);

    RadioGroup1 = new QGroupBox(text(kSameNameGroupCaption), this);
    RadioGroup1->setGeometry(364, 96, 249, 153);
    auto* column = new QVBoxLayout(RadioGroup1);
    column->setContentsMargins(8, 2, 8, 4);
    column->setSpacing(0);
    items_ = new QButtonGroup(this);
    for (int i = 0; i < static_cast<int>(kSameNameItems.size()); ++i) {
        auto* r = new QRadioButton(text(kSameNameItems[static_cast<std::size_t>(i)]), RadioGroup1);
        column->addWidget(r);
        items_->addButton(r, i);
    }
    setItemIndex(0);

    BitBtn1 = new QPushButton(text(kSameNameContinue), this);
    BitBtn1->setGeometry(620, 104, 89, 25);
    BitBtn1->setIcon(programIcon("ok"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(text(kSameNameStop), this);
    BitBtn2->setGeometry(620, 144, 89, 25);
    BitBtn2->setIcon(programIcon("stop"));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm3::BitBtn2Click);

    centreOnScreen(this);
}

QRadioButton* TForm3::radioItem(int index) const {
    return qobject_cast<QRadioButton*>(items_->button(index));
}

void TForm3::bindAnswerState(int& answer, bool& forAll) {
    answer_ = &answer;
    forAll_ = &forAll;
}

int TForm3::ItemIndex() const { return items_->checkedId(); }

void TForm3::setItemIndex(int index) {
    if (QAbstractButton* b = items_->button(index)) b->setChecked(true);
}

void TForm3::prepareRun() {
    *forAll_ = false;
    setItemIndex(0);
}

int TForm3::domeiKakunin(const std::string& label, const std::string& dst, std::int64_t srcSize,
                         std::int64_t dstSize, const std::string& srcTime,
                         const std::string& dstTime) {
    setAutoText(Label1, sameNameQuestion(label));
    Edit1->setText(text(parentFolder(dst)));
    Edit2->setText(text(namePart(dst)));
    setAutoText(Label3, sourceSizeText(srcSize));
    setAutoText(Label4, sourceTimeText(srcTime));
    setAutoText(Label5, destinationSizeText(dstSize));
    setAutoText(Label6, destinationTimeText(dstTime));
    fileIconSet(dst, Image1, Edit1, Edit2);
    exec();
    return *answer_;
}

// Any way of closing other than the two buttons leaves the answer set here.
void TForm3::FormShow() {
    *answer_ = kSameNameAbort;
    *forAll_ = false;
}

void TForm3::BitBtn1Click() {
    *answer_ = ItemIndex();
    accept();
}

void TForm3::BitBtn2Click() {
    *answer_ = kSameNameAbort;
    *forAll_ = true;
    reject();
}

void TForm3::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void fileIconSet(const std::string& path, QLabel* img, QLineEdit* folderEdit,
                 QLineEdit* nameEdit) {
    img->clear();
    // The icon's large form, 32 x 32, is the size a file's icon is drawn at.
    static const QSize natural(32, 32);
    QFileIconProvider icons;
    QIcon icon = icons.icon(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))));
    if (icon.isNull()) icon = ownIcon("house");
    const QPixmap picture = icon.pixmap(icon.actualSize(natural));
    if (!picture.isNull()) {
        img->resize(picture.deviceIndependentSize().toSize());
        img->setPixmap(picture);
    }
    folderEdit->setToolTip(text(parentFolder(path)));
    nameEdit->setToolTip(text(namePart(path)));
}

} // namespace g3

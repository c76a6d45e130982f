#include "app/Unit4.h"

#include "app/StrSortGrid.h"
#include "platform/codepage.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "ui/placement.h"
#include "ui/programicon.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace g3 {

namespace {
constexpr const char* kHeaderRow[] = {"No", "洞窟", "家", "大きさ"};
} // namespace

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Grottan3 ファイル検索"));
    // The program ends with the main window, whether this one is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(800, 600);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(25);
    BitBtn1 = new QToolButton(Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(0, 0, 27, 25);
    BitBtn1->setIcon(programIcon("cave"));
    BitBtn1->setToolTip(QStringLiteral("選択した洞窟を表示"));
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(31, 2, 753, 21);
    Edit1->setToolTip(QStringLiteral("選択したフォルダ"));
    Edit1->setText(QStringLiteral("検索結果の洞窟をクリックすると、ここに洞窟名が表示されます"));

    StrSortGrid1 = new TStrSortGrid(this);
    StrSortGrid1->setObjectName(QStringLiteral("StrSortGrid1"));
    StrSortGrid1->setColCount(4);
    StrSortGrid1->setRowCount(2);
    for (int c = 0; c < 4; ++c) StrSortGrid1->setCells(c, 0, kHeaderRow[c]);
    // The numbers come padded on the left; right-aligned they stay readable when the
    // column is narrower than the padding.
    StrSortGrid1->setColAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    StrSortGrid1->setColAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    StrSortGrid1->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(StrSortGrid1, 1);

    connect(BitBtn1, &QToolButton::clicked, this, &TForm4::BitBtn1Click);
    connect(StrSortGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    StrSortGrid1SelectCell(current.column(), current.row() + TStrSortGrid::FixedRows);
            });
    connect(StrSortGrid1, &QAbstractItemView::doubleClicked, this, &TForm4::BitBtn1Click);
    centreOnScreen(this);
}

void TForm4::StrSortGrid1SelectCell(int, int ARow) {
    selectedFolder_ = StrSortGrid1->Cells(1, ARow);
    Edit1->setText(QString::fromStdString(displayTextOf(selectedFolder_)));
}

// Edit1 shows the bytes readable; where the user changed nothing, or only part, the
// bytes of the selected cave stand for what is shown.
std::string TForm4::edit1Folder() const {
    return currentFolderForm(nameAfterEdit(selectedFolder_, Edit1->text().toStdString()));
}

void TForm4::BitBtn1Click() {
    const std::string folder = edit1Folder();
    if (folder.empty() || !isFolder(folder)) return;
    if (OpenFolder) OpenFolder(folder);
}

bool TForm4::eventFilter(QObject* watched, QEvent* e) {
    if (watched == StrSortGrid1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace g3

#include "app/FldrDlg.h"

#include "app/Unit1.h"
#include "ui/placement.h"
#include "platform/fileops.h"
#include "shellviews/FolderView.h"
#include "shellviews/ShView.h"
#include "shellviews/shellnamespace.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace g3 {

TFolderBrowser::TFolderBrowser(QWidget* owner, const std::string& title,
                               TFolderDlgOptions options)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      options_(options) {
    setObjectName(QStringLiteral("FolderBrowser"));
    setWindowTitle(QStringLiteral("フォルダーの参照"));
    resize(400, 460);
    auto* column = new QVBoxLayout(this);
    titleLabel = new QLabel(QString::fromUtf8(title), this);
    titleLabel->setWordWrap(true);
    column->addWidget(titleLabel);
    statusLabel = new QLabel(this);
    statusLabel->setTextFormat(Qt::PlainText);
    statusLabel->setVisible((options & bifStatusText) != 0);
    column->addWidget(statusLabel);
    // The folder tree of the window, read-only and without a list: the desktop opened,
    // nothing chosen yet.
    tree = new TFolderView(this);
    tree->setReadOnly(true);
    tree->BuildTree();
    tree->setCurrentIndex(QModelIndex());
    column->addWidget(tree, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    okButton->setEnabled(false);
    cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    column->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(tree, &TFolderView::OnChange, this, [this] { selectionChanged(tree->currentIndex()); });
    if (!owner) centreOnScreen(this);
}

TFolderBrowser::~TFolderBrowser() = default;

bool TFolderBrowser::selectPath(const std::string& path) {
    if (!isFolder(path) || !tree->SelectPath(path) || !tree->currentIndex().isValid()) return false;
    scrollToCurrent();
    return true;
}

void TFolderBrowser::scrollToCurrent() {
    tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    tree->horizontalScrollBar()->setValue(0); // keep the branch lines in sight
}

// A selection made before the window stood was scrolled for a tree of no size.
void TFolderBrowser::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    layout()->activate();
    if (tree->currentIndex().isValid()) scrollToCurrent();
}

bool TFolderBrowser::selectedPath(std::string& out) const {
    const QModelIndex i = tree->currentIndex();
    return i.isValid() && SHGetPathFromIDList(tree->GetNodeIDList(i), out);
}

// The status line shows the path of the newly selected item (empty when it has none); OK
// is offered only for an item that has a path when file-system folders are asked for.
void TFolderBrowser::selectionChanged(const QModelIndex& current) {
    std::string path;
    const bool hasPath = current.isValid() && SHGetPathFromIDList(tree->GetNodeIDList(current), path);
    statusLabel->setText(QString::fromUtf8(path));
    okButton->setEnabled(current.isValid() && (hasPath || !(options_ & bifReturnOnlyFSDirs)));
}

TFolderDialog::TFolderDialog(QWidget* owner) : QObject(owner), owner_(owner) {}

bool TFolderDialog::Execute() {
    TFolderBrowser window(owner_, Title, Option);
    browser_ = &window;
    if (!Folder.empty()) window.selectPath(Folder);
    const int result = window.exec();
    browser_ = nullptr;
    if (result != QDialog::Accepted) return false;
    std::string path;
    if (window.selectedPath(path)) Folder = path;
    return true;
}

} // namespace g3

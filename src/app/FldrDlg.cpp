#include "app/FldrDlg.h"

#include "app/Unit1.h"
#include "platform/fileops.h"
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

// The folders of the namespace as a tree: one top item, the desktop; the folders below an
// item are listed the first time the view asks for them.
class FolderTreeModel : public QAbstractItemModel {
public:
    struct Node {
        Node* parent = nullptr;
        int row = 0;
        ItemIDList abs;
        QString name;
        ShellFolderPtr folder; // bound when its children are listed
        bool listed = false;
        int hasSubfolders = -1; // -1 not asked yet
        std::vector<std::unique_ptr<Node>> children;
    };

    FolderTreeModel() {
        auto desktop = std::make_unique<Node>();
        desktop->parent = &root_;
        desktop->abs = desktopIDList();
        std::string name;
        SHGetDesktopFolder()->GetDisplayNameOf(ItemIDList::empty(), SHGDN_NORMAL, name);
        desktop->name = QString::fromUtf8(name);
        root_.children.push_back(std::move(desktop));
        root_.listed = true;
    }

    Node* nodeOf(const QModelIndex& i) const {
        return i.isValid() ? static_cast<Node*>(i.internalPointer()) : const_cast<Node*>(&root_);
    }
    QModelIndex indexOf(Node* n) const {
        return n == &root_ ? QModelIndex() : createIndex(n->row, 0, n);
    }
    Node* desktop() const { return root_.children.front().get(); }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        Node* p = nodeOf(parent);
        if (column != 0 || row < 0 || row >= static_cast<int>(p->children.size())) return {};
        return createIndex(row, 0, p->children[static_cast<std::size_t>(row)].get());
    }
    QModelIndex parent(const QModelIndex& child) const override {
        return child.isValid() ? indexOf(nodeOf(child)->parent) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent) const override {
        return static_cast<int>(nodeOf(parent)->children.size());
    }
    int columnCount(const QModelIndex&) const override { return 1; }

    bool hasChildren(const QModelIndex& parent) const override {
        Node* n = nodeOf(parent);
        if (n->listed) return !n->children.empty();
        if (n->hasSubfolders < 0) {
            const std::uint32_t a = n == desktop() ? SFGAO_HASSUBFOLDER
                                                   : n->parent->folder->GetAttributesOf(
                                                         LastIDOf(n->abs), SFGAO_HASSUBFOLDER);
            n->hasSubfolders = (a & SFGAO_HASSUBFOLDER) ? 1 : 0;
        }
        return n->hasSubfolders == 1;
    }
    bool canFetchMore(const QModelIndex& parent) const override { return !nodeOf(parent)->listed; }
    void fetchMore(const QModelIndex& parent) override { list(nodeOf(parent)); }

    QVariant data(const QModelIndex& i, int role) const override {
        if (!i.isValid()) return {};
        Node* n = nodeOf(i);
        if (role == Qt::DisplayRole) return n->name;
        if (role == Qt::DecorationRole) return iconOf(n);
        return {};
    }

    // Lists the folders below n once, in the folder's own name order.
    void list(Node* n) {
        if (n->listed) return;
        n->listed = true;
        n->folder = n == desktop() ? SHGetDesktopFolder() : SHGetDesktopFolder()->BindToObject(n->abs);
        if (!n->folder) return;
        std::vector<ItemIDList> ids;
        n->folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN,
                               [&](EnumItem&& item) { ids.push_back(std::move(item.id)); });
        if (ids.empty()) return;
        const ShellFolder* f = n->folder.get();
        std::sort(ids.begin(), ids.end(), [f](const ItemIDList& a, const ItemIDList& b) {
            return f->CompareIDs(a, b) < 0;
        });
        beginInsertRows(indexOf(n), 0, static_cast<int>(ids.size()) - 1);
        for (auto& id : ids) {
            auto c = std::make_unique<Node>();
            c->parent = n;
            c->row = static_cast<int>(n->children.size());
            std::string name;
            f->GetDisplayNameOf(id, SHGDN_NORMAL, name);
            c->name = QString::fromUtf8(name);
            c->abs = ConcatIDList(n->abs, id);
            n->children.push_back(std::move(c));
        }
        endInsertRows();
    }

    // The child of n named by the exact bytes name, listing n first.
    Node* childNamed(Node* n, std::string_view name) {
        list(n);
        for (auto& c : n->children)
            if (LastIDOf(c->abs).firstName() == name) return c.get();
        return nullptr;
    }

private:
    QIcon iconOf(Node* n) const { return typeIcon(typeIndexOfItem(n->abs), false); }

    Node root_;
};

TFolderBrowser::TFolderBrowser(QWidget* owner, const std::string& title,
                               TFolderDlgOptions options)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      model_(std::make_unique<FolderTreeModel>()), options_(options) {
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
    tree = new QTreeView(this);
    tree->setHeaderHidden(true);
    tree->setModel(model_.get());
    tree->setExpanded(model_->indexOf(model_->desktop()), true);
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
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    if (!owner) centreOnScreen(this);
}

TFolderBrowser::~TFolderBrowser() = default;

bool TFolderBrowser::selectPath(const std::string& path) {
    ItemIDList ids;
    if (!isFolder(path) || !ParseDisplayName(path, ids)) return false;
    FolderTreeModel::Node* n = model_->desktop();
    for (std::size_t i = 0; n && i < ids.idCount(); ++i) {
        tree->setExpanded(model_->indexOf(n), true);
        n = model_->childNamed(n, ids.nameAt(i));
    }
    if (!n) return false;
    const QModelIndex at = model_->indexOf(n);
    tree->setCurrentIndex(at);
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
    return i.isValid() && SHGetPathFromIDList(model_->nodeOf(i)->abs, out);
}

// The status line shows the path of the newly selected item (empty when it has none); OK
// is offered only for an item that has a path when file-system folders are asked for.
void TFolderBrowser::selectionChanged(const QModelIndex& current) {
    std::string path;
    const bool hasPath = current.isValid() && SHGetPathFromIDList(model_->nodeOf(current)->abs, path);
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

// The only code of the main window that talks to the folder tree and the file list.
//
// Until the shell views are wired in, two stand-ins take their places: a tree that holds
// the selected folder and a details list of that folder's names (sortable by name with a
// toggling direction), so the window, its settings and its navigation work end to end.
#include "app/mein.h"

#include "fscomp/DirMontr.h"
#include "platform/fileops.h"
#include "platform/findfile.h"
#include "platform/paths.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace g3 {

class ViewPlaceholders {
public:
    std::string selected;
    int styleCode = 4;
    int myColBan = 0;
    std::array<int, 4> direction{1, 1, 1, 1};
    QLabel* tree = nullptr;
    QTreeWidget* list = nullptr;

    void fill() {
        list->clear();
        std::vector<std::string> names;
        FindHandle h;
        FindData d;
        for (bool ok = h.first(joinPath(selected, "*"), d, FindDetail::NameAndType); ok;
             ok = h.next(d))
            if (!d.isDotOrDotDot()) names.push_back(d.name);
        std::sort(names.begin(), names.end());
        QList<QTreeWidgetItem*> rows;
        for (const auto& n : names) {
            auto* item = new QTreeWidgetItem(QStringList{QString::fromUtf8(n)});
            item->setData(0, Qt::UserRole, QByteArray::fromStdString(n));
            rows.append(item);
        }
        list->addTopLevelItems(rows);
    }
};

void TForm1::ViewsDeleter::operator()(ViewPlaceholders* v) const { delete v; }

TForm1::~TForm1() {
    // FormDestroy: the views release what they hold while the rest of the window exists.
    delete tree_;
    tree_ = nullptr;
    delete list_;
    list_ = nullptr;
    monitor_.reset();
    views_.reset();
}

void TForm1::createViews() {
    views_.reset(new ViewPlaceholders);
    auto* tree = new QLabel(paneFolder_);
    tree->setObjectName(QStringLiteral("ShellTreeView1"));
    tree->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tree->setAutoFillBackground(true);
    tree->setBackgroundRole(QPalette::Base);
    paneFolder_->layout()->addWidget(tree);
    auto* list = new QTreeWidget(paneList_);
    list->setObjectName(QStringLiteral("ShellListView1"));
    list->setColumnCount(5);
    list->setHeaderLabels({QStringLiteral("*表札"), QStringLiteral("大きさ(バイト)"),
                           QStringLiteral("家の種類"), QStringLiteral("改築日時"), QString()});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    paneList_->layout()->addWidget(list);
    views_->tree = tree;
    views_->list = list;
    tree_ = tree;
    list_ = list;
}

bool TForm1::treeSelectPath(const std::string& path) {
    if (!views_ || !isFolder(path)) return false;
    views_->selected = currentFolderForm(path);
    views_->tree->setText(QString::fromUtf8(views_->selected));
    ShellTreeView1Change();
    views_->fill(); // the list follows the tree after the owner's handler
    return true;
}

std::string TForm1::treeSelectedPath() const { return views_ ? views_->selected : std::string(); }

void TForm1::treeRebuildSelected() {
    if (views_) treeSelectPath(views_->selected);
}

void TForm1::setListViewStyle(int code) {
    if (views_) views_->styleCode = (code >= 1 && code <= 4) ? code : 4;
}

int TForm1::listStyleCode() const { return views_ ? views_->styleCode : 4; }

void TForm1::setListColumnWidth(int column, int width) {
    if (views_) views_->list->setColumnWidth(column, width);
}

int TForm1::listColumnWidth(int column) const {
    return views_ ? views_->list->columnWidth(column) : 0;
}

void TForm1::listSetMyColBan(int n) {
    if (views_) views_->myColBan = n;
}

int TForm1::myColBan() const { return views_ ? views_->myColBan : 0; }

void TForm1::listFillList() {
    if (views_) views_->fill();
}

void TForm1::listSortByColumn(int n) {
    if (!views_ || n < 0 || n > 3) return;
    int& dir = views_->direction[n];
    views_->list->sortItems(n, dir > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    dir = -dir;
}

void TForm1::listSetExecDirectory(const std::string&) {}

void TForm1::listSelectAll() {
    if (views_) views_->list->selectAll();
}

std::vector<std::string> TForm1::listRowNames() const {
    std::vector<std::string> out;
    if (!views_) return out;
    for (int i = 0; i < views_->list->topLevelItemCount(); ++i)
        out.push_back(views_->list->topLevelItem(i)->data(0, Qt::UserRole).toByteArray().toStdString());
    return out;
}

} // namespace g3

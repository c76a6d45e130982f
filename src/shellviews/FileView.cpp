#include "shellviews/FileView.h"

#include "ui/msgbox.h"
#include "platform/codepage.h"
#include "platform/fileops.h"
#include "platform/paths.h"
#include "platform/shelllink.h"
#include "shellviews/FolderView.h"
#include "shellviews/ShView.h"
#include "shellviews/mousetrack.h"
#include "shellviews/shellexec.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <set>

namespace g3 {

namespace {

constexpr int kColumnWidths[4] = {120, 80, 70, 90};

// Drags go through the drop source component; the views' own drag start stays unused. Drag
// is enabled all the same, so a press on a selected row keeps a many-row selection for it.
template <class View>
class NoOwnDrag : public View {
public:
    using View::View;
    bool editing() const { return this->state() == QAbstractItemView::EditingState; }

protected:
    void startDrag(Qt::DropActions) override {}
};

// The details view: one row per item, the five columns, grid lines. The keys move between
// rows, never across cells: the current index stays in the name column (the one a rename
// edits and a typed name is searched in), Home and End go to the first and the last row
// with or without Ctrl, and Left and Right scroll the columns instead.
class DetailsView : public NoOwnDrag<QTableView> {
public:
    using NoOwnDrag::NoOwnDrag;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
        const int rows = model() ? model()->rowCount(rootIndex()) : 0;
        switch (action) {
        case MoveHome: return rows > 0 ? model()->index(0, 0, rootIndex()) : QModelIndex();
        case MoveEnd: return rows > 0 ? model()->index(rows - 1, 0, rootIndex()) : QModelIndex();
        case MoveLeft:
        case MoveRight:
            horizontalScrollBar()->triggerAction(action == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                                    : QAbstractSlider::SliderSingleStepAdd);
            return currentIndex();
        default: {
            const QModelIndex to = QTableView::moveCursor(action, modifiers);
            return to.isValid() ? to.siblingAtColumn(0) : to;
        }
        }
    }
    // A click on another cell of a row makes the row current, in the name column.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (current.isValid() && current.column() != 0) {
            selectionModel()->setCurrentIndex(current.siblingAtColumn(0), QItemSelectionModel::NoUpdate);
            return;
        }
        QTableView::currentChanged(current, previous);
    }
};
using IconsView = NoOwnDrag<QListView>;

// Where the user is in the rows, by the rows' IDs, so a refill of the same folder can
// come back to it.
struct ListPlace {
    std::set<std::string> selected;
    std::string current;
    std::string top; // the first row in sight
    QPoint scroll;
};

} // namespace

class TFileView::Impl : public QObject {
public:
    explicit Impl(TFileView* owner);
    // Called once the owner holds this object: the filter asks the owner for its view.
    // The owner stops the watch before its children go, for the same reason.
    void watchViews(bool on);

    bool eventFilter(QObject* watched, QEvent* e) override;

    void applyStyle();
    void columnClick(int column);
    void doubleClick();
    bool rename(int row, const QString& text);
    void mousePress(QMouseEvent* e);
    void mouseRelease(QMouseEvent* e);
    void mouseMove(QMouseEvent* e);
    void hoverSelect(const QPoint& pos);
    bool soleSelectedRow(int row) const;
    void renameAfterPause();
    ListPlace place() const;
    void returnTo(const ListPlace& p);
    // Refills the rows from the folder; keepPlace: the folder shown before, so the user's
    // place in it stays; otherwise the rows start at the top.
    void fill(bool keepPlace);
    // Ends the press tracking; the viewports get move reports again only for HotTrack.
    void clearMouse();
    // The IDs of the selected rows, last selected row first, and their count.
    ItemIDList joinedSelection(int& count) const;
    void showContextMenu(const QPoint& viewportPos);
    // The menu key and Shift+F10: the menu of the selection, at the current row.
    void showContextMenuFromKeyboard();
    void startDrag();
    // Runs a handler body; an exception goes to the boxes when there are some.
    void guarded(const std::function<void()>& body) {
        if (boxes)
            boxes->runGuarded(body);
        else
            body();
    }

    TFileView* q;
    MessageBoxes* boxes = nullptr;
    Opener* opener = nullptr;
    FileListModel* model;
    QItemSelectionModel* selection;
    QStackedLayout* stack;
    DetailsView* details;
    IconsView* icons;
    TViewStyle style = vsReport;

    ItemIDList folderIDList;
    ShellFolderPtr folder;
    std::string execDirectory;
    QPointer<TFolderView> tree;
    QPointer<QMenu> popupMenu;
    QPointer<TContextMenuEx> contextMenu;
    QPointer<TDropSourceEx> dropSource;
    std::vector<std::string> mask;
    int myColBan = 0;
    bool fileExecute = true;
    bool hotTrack = false;
    bool sentBack = false; // the tree was sent back once for a folder that failed to list
    MouseTracker mouse;
    // A left click on the row that was already the only one selected renames it once the
    // double-click time has passed without another press, a double click or a key.
    QTimer* renameTimer;
    QPersistentModelIndex renameIndex;
};

TFileView::Impl::Impl(TFileView* owner)
    : QObject(owner), q(owner), model(new FileListModel(owner)),
      selection(new QItemSelectionModel(model, owner)), stack(new QStackedLayout(owner)),
      details(new DetailsView(owner)), icons(new IconsView(owner)), renameTimer(new QTimer(this)) {
    stack->setContentsMargins(0, 0, 0, 0);
    renameTimer->setSingleShot(true);
    connect(renameTimer, &QTimer::timeout, this, [this] { renameAfterPause(); });
    model->setIconProvider([this](int type, int overlay) { return typeIconWithOverlay(type, overlay, style == vsIcon); });
    model->setRenameHandler([this](int row, const QString& text) { return rename(row, text); });

    details->setModel(model);
    details->setSelectionModel(selection);
    details->setSelectionBehavior(QAbstractItemView::SelectRows);
    details->setShowGrid(false);
    details->setWordWrap(false);
    details->setCornerButtonEnabled(false);
    details->verticalHeader()->hide();
    details->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    details->verticalHeader()->setDefaultSectionSize(details->fontMetrics().height() + 4);
    details->horizontalHeader()->setHighlightSections(false);
    details->horizontalHeader()->setSectionsClickable(true);
    details->horizontalHeader()->setStretchLastSection(true);
    details->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    details->setIconSize(QSize(16, 16));
    for (int c = 0; c < 4; ++c) details->setColumnWidth(c, kColumnWidths[c]);
    connect(details->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { guarded([&] { columnClick(c); }); });

    icons->setModel(model);
    icons->setSelectionModel(selection);
    icons->setModelColumn(0);
    icons->setResizeMode(QListView::Adjust);
    // Laid out a batch at a time: a row's size comes from its own caption, and a long
    // folder shows its first rows at once.
    icons->setLayoutMode(QListView::Batched);
    icons->setBatchSize(2000);

    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(details), static_cast<QAbstractItemView*>(icons)}) {
        v->setSelectionMode(QAbstractItemView::ExtendedSelection);
        // F2; the click on a selected row is ours (mousePress, mouseRelease): the view's
        // own would open the editor on a row of a many-row selection and keep them all.
        v->setEditTriggers(QAbstractItemView::EditKeyPressed);
        v->setDragEnabled(true);
        v->setDragDropMode(QAbstractItemView::DragOnly);
        v->setContextMenuPolicy(Qt::NoContextMenu);
        stack->addWidget(v);
        // Queued: the view has let the editor go by the time the signal arrives.
        connect(v->itemDelegate(), &QAbstractItemDelegate::closeEditor, q, &TFileView::nameEditorClosed,
                Qt::QueuedConnection);
    }
    connect(selection, &QItemSelectionModel::selectionChanged, q, [this] { emit q->OnChange(); });
    connect(selection, &QItemSelectionModel::currentChanged, q, [this] { emit q->OnChange(); });
    applyStyle();
}

void TFileView::Impl::watchViews(bool on) {
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(details), static_cast<QAbstractItemView*>(icons)}) {
        for (QObject* o : {static_cast<QObject*>(v), static_cast<QObject*>(v->viewport())}) {
            if (on)
                o->installEventFilter(this);
            else
                o->removeEventFilter(this);
        }
    }
}

void TFileView::Impl::applyStyle() {
    if (style == vsReport) {
        stack->setCurrentWidget(details);
        return;
    }
    const bool large = style == vsIcon;
    icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    icons->setWrapping(true);
    icons->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    // Large icons stand in a grid with up to two lines of caption below; in the small
    // styles every caption is shown whole on one line. Either way a row has its own size.
    icons->setUniformItemSizes(false);
    icons->setGridSize(large ? QSize(84, 40 + 2 * icons->fontMetrics().lineSpacing()) : QSize());
    icons->setSpacing(large ? 0 : 2);
    icons->setWordWrap(large);
    icons->setTextElideMode(Qt::ElideRight);
    icons->setMovement(QListView::Static);
    stack->setCurrentWidget(icons);
}

void TFileView::Impl::columnClick(int column) {
    if (popupMenu) {
        // The owner's sort menu decides; a header without an entry does nothing.
        const QList<QAction*> items = popupMenu->actions();
        if (column >= 0 && column < items.size()) items[column]->trigger();
        return;
    }
    if (column >= 4) return; // the fifth column has nothing to sort by: the order stays
    q->SortByColumn(column);
}

void TFileView::Impl::doubleClick() {
    emit q->OnDblClick();
    const std::vector<int> rows = q->selectedRows();
    if (rows.empty() || !folder) return;
    const int row = rows.front();
    // A copy: the tree's SelectChild shows the folder here, and the refill drops the rows.
    const ItemIDList id = model->row(row).id;
    if (id.isNull()) return;
    if (tree && q->IsFolderItem(row)) {
        tree->SelectChild(id);
        return;
    }
    // A shortcut to a folder is entered like the folder; one to a file is opened below.
    if (tree) {
        const std::optional<ShortcutTarget> link = readShortcut(q->GetItemPath(row));
        if (link && isFolder(link->path)) {
            tree->SelectPath(link->path);
            return;
        }
    }
    if (!fileExecute || !boxes || !opener) return;
    if (boxes->messageDlg(QStringLiteral("家を実行しようとしてますが、いいですか？"),
                          MsgKind::Confirmation, mbYes | mbNo) != MsgResult::Yes)
        return;
    opener->ShellExecuteItem(q->GetItemPath(row), execDirectory);
}

bool TFileView::Impl::rename(int row, const QString& text) {
    if (!folder) return false;
    const ItemIDList oldId = model->row(row).id;
    // Leaving the editor commits its text even when nothing was typed; the name's bytes
    // that the text shows as U+FFFD are kept wherever the user did not edit.
    const std::string newName = nameAfterEdit(oldId.firstName(), text.toStdString());
    if (newName == oldId.firstName()) return false;
    ItemIDList newId;
    if (!folder->SetNameOf(oldId, newName, newId)) {
        reportRenameFailure(boxes, q, oldId.firstName(), newName, errno);
        return false;
    }
    if (tree && (folder->GetAttributesOf(oldId, SFGAO_FOLDER) & SFGAO_FOLDER)) tree->RenameChild(oldId, newId);
    model->setRowId(row, std::move(newId));
    return true;
}

// Joined once: a list grown by one concatenation per row would copy it once per row.
ItemIDList TFileView::Impl::joinedSelection(int& count) const {
    const std::vector<int> rows = q->selectedRows();
    std::vector<ItemIDList> ids;
    ids.reserve(rows.size());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) ids.push_back(model->row(*it).id);
    count = static_cast<int>(ids.size());
    return JoinIDLists(ids);
}

void TFileView::Impl::showContextMenu(const QPoint& viewportPos) {
    if (!contextMenu || !folder || q->selectedRows().empty()) return;
    int count = 0;
    const ItemIDList joined = joinedSelection(count);
    QAbstractItemView* v = q->itemView();
    clearMouse();
    contextMenu->ShowContextMenu(v, folder, v->viewport()->mapToGlobal(viewportPos), count, joined);
}

void TFileView::Impl::showContextMenuFromKeyboard() {
    const std::vector<int> rows = q->selectedRows();
    if (rows.empty()) return;
    QAbstractItemView* v = q->itemView();
    QModelIndex at = v->currentIndex();
    if (!at.isValid() || !selection->isRowSelected(at.row(), {})) at = model->index(rows.front(), 0);
    v->scrollTo(at);
    const QRect r = v->visualRect(at.siblingAtColumn(0));
    const QPoint p(r.left() + std::min(r.width() / 2, 24), r.center().y());
    showContextMenu(v->viewport()->rect().contains(p) ? p : QPoint(0, 0));
}

void TFileView::Impl::startDrag() {
    int count = 0;
    const ItemIDList joined = joinedSelection(count);
    clearMouse();
    dropSource->StartDrag(q->itemView(), folder, count, joined);
}

void TFileView::Impl::mousePress(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const bool right = e->button() == Qt::RightButton;
    renameTimer->stop();
    renameIndex = QPersistentModelIndex();
    if (e->button() == Qt::LeftButton && e->modifiers() == Qt::NoModifier) {
        const QModelIndex at = q->itemView()->indexAt(p);
        if (at.isValid() && soleSelectedRow(at.row())) renameIndex = at.siblingAtColumn(0);
    }
    mouse.press(p.x(), p.y(), right);
    // A right release taken elsewhere (a popup, a grab) leaves the menu to the next move
    // report, which arrives without a button down only with mouse tracking on.
    if (right) q->itemView()->viewport()->setMouseTracking(true);
}

void TFileView::Impl::clearMouse() {
    mouse.clear();
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(details), static_cast<QAbstractItemView*>(icons)})
        v->viewport()->setMouseTracking(hotTrack);
}

void TFileView::Impl::mouseRelease(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const bool click = mouse.tracking() && !mouse.rightPress() &&
                       std::abs(p.x() - mouse.pressX()) <= MouseTracker::kThreshold &&
                       std::abs(p.y() - mouse.pressY()) <= MouseTracker::kThreshold;
    if (click && renameIndex.isValid() && q->itemView()->indexAt(p).row() == renameIndex.row())
        renameTimer->start(QApplication::doubleClickInterval());
    // The release reaches the view here, so a right click raises the menu at once.
    if (mouse.release(p.x(), p.y()) == MouseTracker::Action::ContextMenu) showContextMenu(p);
    clearMouse();
}

void TFileView::Impl::mouseMove(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit q->OnMouseMove(p);
    if (hotTrack && !(e->buttons() & (Qt::LeftButton | Qt::RightButton))) hoverSelect(p);
    if (!mouse.tracking()) return;
    const bool buttonDown = e->buttons() & (Qt::LeftButton | Qt::RightButton);
    switch (mouse.move(p.x(), p.y(), buttonDown)) {
    case MouseTracker::Action::ContextMenu: showContextMenu(p); break;
    case MouseTracker::Action::Drag:
        if (dropSource && folder && !q->selectedRows().empty()) startDrag();
        break;
    case MouseTracker::Action::None: break;
    }
}

void TFileView::Impl::hoverSelect(const QPoint& pos) {
    const QModelIndex at = q->itemView()->indexAt(pos);
    if (!at.isValid() || selection->isRowSelected(at.row(), {})) return;
    selection->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool TFileView::Impl::soleSelectedRow(int row) const {
    // Ranges, not rows: "select all" of a large folder is one range, not a row list.
    const QItemSelection s = selection->selection();
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [row](const QItemSelectionRange& r) {
        return r.top() == row && r.bottom() == row;
    });
}

void TFileView::Impl::renameAfterPause() {
    if (!renameIndex.isValid() || !soleSelectedRow(renameIndex.row()) || q->isEditingName()) return;
    q->itemView()->edit(renameIndex);
}

ListPlace TFileView::Impl::place() const {
    ListPlace p;
    for (const QItemSelectionRange& r : selection->selection())
        for (int row = r.top(); row <= r.bottom(); ++row) p.selected.insert(model->row(row).id.bytes());
    if (const QModelIndex c = selection->currentIndex(); c.isValid()) p.current = model->row(c.row()).id.bytes();
    QAbstractItemView* v = q->itemView();
    if (const QModelIndex top = v->indexAt(QPoint(1, 1)); top.isValid()) p.top = model->row(top.row()).id.bytes();
    p.scroll = QPoint(v->horizontalScrollBar()->value(), v->verticalScrollBar()->value());
    return p;
}

void TFileView::Impl::returnTo(const ListPlace& p) {
    QItemSelection selected;
    int run = -1, current = -1, top = -1;
    const int rows = model->rowCount();
    for (int r = 0; r <= rows; ++r) {
        const bool in = r < rows && p.selected.count(model->row(r).id.bytes()) > 0;
        if (in && run < 0) run = r;
        if (!in && run >= 0) {
            selected.select(model->index(run, 0), model->index(r - 1, FileListModel::kColumns - 1));
            run = -1;
        }
        if (r == rows) break;
        const std::string& id = model->row(r).id.bytes();
        if (id == p.current) current = r;
        if (id == p.top) top = r;
    }
    if (current >= 0) selection->setCurrentIndex(model->index(current, 0), QItemSelectionModel::NoUpdate);
    selection->select(selected, QItemSelectionModel::Select);
    // The scroll bars take the new rows' extent only once the view is laid out.
    QAbstractItemView* v = q->itemView();
    v->doItemsLayout();
    if (top >= 0)
        v->scrollTo(model->index(top, 0), QAbstractItemView::PositionAtTop);
    else
        v->verticalScrollBar()->setValue(p.scroll.y());
    v->horizontalScrollBar()->setValue(p.scroll.x());
}

void TFileView::Impl::fill(bool keepPlace) {
    if (!folder) return;
    FileViewSortState& s = model->sortState();
    const auto before = s.ColumnDirection;
    for (int c = 0; c < 4; ++c) s.ColumnDirection[static_cast<std::size_t>(c)] = s.SortDirection;
    bool listed = false;
    {
        HourglassCursor hourglass;
        const ListPlace was = keepPlace ? place() : ListPlace();
        listed = model->fill(folder, mask); // one reset, sorted by the shared state
        if (listed && keepPlace) returnTo(was);
        if (listed && !keepPlace) q->itemView()->scrollToTop();
    }
    clearMouse();
    if (listed) {
        sentBack = false;
        return;
    }
    s.ColumnDirection = before; // nothing was shown, so nothing was sorted
    // The folder cannot be listed: the tree goes back to where it was, once; if that
    // folder fails too, the rows stay as they are.
    if (tree && !sentBack) {
        sentBack = true;
        tree->selectPreviousNode();
    } else {
        sentBack = false;
    }
}

bool TFileView::Impl::eventFilter(QObject* watched, QEvent* e) {
    QAbstractItemView* v = q->itemView();
    const bool onViewport = watched == v->viewport();
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        if (onViewport) mousePress(static_cast<QMouseEvent*>(e));
        break;
    case QEvent::MouseButtonRelease:
        if (onViewport) mouseRelease(static_cast<QMouseEvent*>(e));
        break;
    case QEvent::MouseMove:
        if (onViewport) mouseMove(static_cast<QMouseEvent*>(e));
        break;
    case QEvent::MouseButtonDblClick:
        if (onViewport && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            // The press that began the double click is already handled; the view's own
            // double-click handling (editing) stays off.
            renameTimer->stop();
            guarded([this] { doubleClick(); });
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (watched == v) {
            renameTimer->stop();
            auto* k = static_cast<QKeyEvent*>(e);
            if (isContextMenuKey(*k)) {
                guarded([this] { showContextMenuFromKeyboard(); });
                return true;
            }
            emit q->OnKeyDown(k->key(), k->modifiers());
        }
        break;
    default: break;
    }
    return false;
}

// --- TFileView ---------------------------------------------------------------------

TFileView::TFileView(QWidget* parent) : QWidget(parent), d_(new Impl(this)) {
    d_->watchViews(true);
    resize(200, 200);
    d_->model->setStarredColumn(0);
}

TFileView::~TFileView() {
    d_->watchViews(false);
    QObject::disconnect(d_->selection, nullptr, this, nullptr);
    if (d_->tree && d_->tree->FileView() == this) d_->tree->setFileView(nullptr);
}

void TFileView::ShowFolder(const ItemIDList& absolute) {
    if (absolute.isNull()) return;
    const bool same = d_->folder && absolute == d_->folderIDList;
    d_->folderIDList = absolute;
    const ShellFolderPtr desktop = SHGetDesktopFolder();
    ShellFolderPtr bound = absolute.idCount() == 0 ? nullptr : desktop->BindToObject(absolute);
    d_->folder = bound ? bound : desktop;
    d_->fill(same);
}

void TFileView::setLinkedTree(TFolderView* tree) { d_->tree = tree; }
TFolderView* TFileView::LinkedTree() const { return d_->tree; }

void TFileView::FillList() { d_->fill(true); }

void TFileView::updateFiles(const std::vector<std::string>& paths) {
    // The desktop's rows are volumes, never files.
    if (!d_->folder || d_->folderIDList.idCount() == 0) return;
    const std::string shown = d_->folder->pathOf(ItemIDList::empty());
    std::set<std::string, std::less<>> names;
    for (const std::string& p : paths)
        if (parentFolder(p) == shown) names.insert(namePart(p));
    if (names.empty()) return;
    FileListModel* m = d_->model;
    bool changed = false;
    for (int r = 0; r < m->rowCount(); ++r)
        if (names.count(m->row(r).id.firstName()) > 0) changed = m->refreshRow(r) || changed;
    // Sorted by size or date, a changed row moves to its place (persistent rows follow).
    const int column = m->sortState().SortColumn;
    if (changed && (column == 1 || column == 3)) m->sortByColumn(column);
}

bool TFileView::isEditingName() const { return d_->details->editing() || d_->icons->editing(); }

void TFileView::SortByColumn(int column) {
    if (column < 0 || column >= FileListModel::kColumns) return;
    FileViewSortState& s = d_->model->sortState();
    int& dir = s.ColumnDirection[static_cast<std::size_t>(column)];
    dir = -dir;
    d_->model->setStarredColumn(column <= 3 ? column : -1);
    d_->model->sortByColumn(column);
    s.SortDirection = dir;
    s.SortColumn = column;
}

std::string TFileView::GetSelectedPath() const {
    const std::vector<int> rows = selectedRows();
    return rows.empty() ? std::string() : GetItemPath(rows.front());
}

std::string TFileView::GetItemPath(int row) const {
    std::string out;
    if (!d_->folder || row < 0 || row >= d_->model->rowCount()) return out;
    const ItemIDList& id = d_->model->row(row).id;
    if (id.isNull() || !d_->folder->GetDisplayNameOf(id, SHGDN_FORPARSING, out)) out.clear();
    return out;
}

bool TFileView::IsFolderItem(int row) const {
    if (!d_->folder || row < 0 || row >= d_->model->rowCount()) return false;
    return d_->folder->GetAttributesOf(d_->model->row(row).id, SFGAO_FOLDER | SFGAO_FILESYSANCESTOR) != 0;
}

void TFileView::SetExecDirectory(const std::string& dir) { d_->execDirectory = dir; }
void TFileView::setMessageBoxes(MessageBoxes* boxes) { d_->boxes = boxes; }
void TFileView::setOpener(Opener* opener) { d_->opener = opener; }
void TFileView::setSortState(FileViewSortState* state) { d_->model->setSortState(state); }

void TFileView::setMyPopupMenu(QMenu* menu) { d_->popupMenu = menu; }
int TFileView::MyColBan() const { return d_->myColBan; }
void TFileView::setMyColBan(int n) { d_->myColBan = n; }
bool TFileView::FileExecute() const { return d_->fileExecute; }
void TFileView::setFileExecute(bool on) { d_->fileExecute = on; }
const std::vector<std::string>& TFileView::Mask() const { return d_->mask; }
void TFileView::setMask(const std::vector<std::string>& mask) { d_->mask = mask; }
void TFileView::setContextMenu(TContextMenuEx* c) { d_->contextMenu = c; }
void TFileView::setDropSource(TDropSourceEx* d) { d_->dropSource = d; }
TViewStyle TFileView::ViewStyle() const { return d_->style; }

void TFileView::setViewStyle(TViewStyle s) {
    if (s == d_->style) return;
    QAbstractItemView* old = itemView();
    d_->style = s;
    d_->applyStyle();
    if (old != itemView() && old->hasFocus()) itemView()->setFocus();
}

void TFileView::setGridLines(bool on) { d_->details->setShowGrid(on); }
void TFileView::setHideSelection(bool) {
    // Qt's views keep the selection painted when they lose the focus; nothing to switch.
}
void TFileView::setRowSelect(bool on) {
    d_->details->setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void TFileView::setHotTrack(bool on) {
    d_->hotTrack = on;
    d_->clearMouse();
}

void TFileView::setReadOnly(bool on) { d_->model->setReadOnly(on); }

FileListModel* TFileView::model() const { return d_->model; }

QAbstractItemView* TFileView::itemView() const {
    return d_->style == vsReport ? static_cast<QAbstractItemView*>(d_->details) : d_->icons;
}

// By ranges: the details style selects whole rows, the other styles the name alone (a row
// counted only when every column is selected would be missing there).
std::vector<int> TFileView::selectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& r : d_->selection->selection())
        for (int row = r.top(); row <= r.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int TFileView::rowAt(const QPoint& viewportPos, bool iconOrLabelOnly) const {
    QAbstractItemView* v = itemView();
    const QModelIndex at = v->indexAt(viewportPos);
    if (!at.isValid()) return -1;
    if (!iconOrLabelOnly) return at.row();
    if (d_->style != vsReport) return at.row(); // an item's rectangle is its icon and label
    if (at.column() != 0) return -1;
    // In details the name cell is wider than what it shows: icon, a gap, the caption.
    const QRect cell = v->visualRect(at);
    const int shown = 4 + d_->details->iconSize().width() + 4 +
                      v->fontMetrics().horizontalAdvance(d_->model->caption(at.row())) + 4;
    return viewportPos.x() < cell.left() + shown ? at.row() : -1;
}

void TFileView::selectAll() { itemView()->selectAll(); }
int TFileView::columnWidth(int column) const { return d_->details->columnWidth(column); }
void TFileView::setColumnWidth(int column, int width) { d_->details->setColumnWidth(column, width); }
const ShellFolderPtr& TFileView::FolderObject() const { return d_->folder; }
const ItemIDList& TFileView::FolderIDList() const { return d_->folderIDList; }

} // namespace g3

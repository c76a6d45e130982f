#include "app/StrSortGrid.h"

#include "platform/codepage.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionHeader>
#include <QTimer>

#include <algorithm>
#include <deque>

namespace g3 {

namespace {

constexpr int kRowHeight = 20;
// Rows added while a search runs reach the view at most this often.
constexpr int kFlushMs = 100;

QString shown(const std::string& bytes) { return QString::fromStdString(displayTextOf(bytes)); }

// ---- the sort -------------------------------------------------------------------------

struct SortKey {
    int row;
    std::string key;
};

// Only "a".."z" change: bytes of multi-byte characters stay as they are.
std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// std::string compares bytes as unsigned values, the shorter of two equal stretches first.
void bubbleSort(std::vector<SortKey>& k, int lo, int hi) {
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int r = lo; r < hi; ++r)
            if (k[r].key > k[r + 1].key) {
                std::swap(k[r], k[r + 1]);
                swapped = true;
            }
    }
}

// The grid's own quicksort, not stable: which of two equal keys ends first is its doing,
// and users see that order, so it is kept as it is. Only the order in which the two parts
// are taken differs (they are disjoint, so the result does not): the smaller part first
// by recursion, the larger by the loop, which keeps the stack shallow on any input.
void quickSort(std::vector<SortKey>& k, int lo, int hi) {
    while (hi - lo > 4) {
        const std::string pivot = k[(lo + hi) / 2].key;
        int i = lo, j = hi;
        while (i <= j) {
            while (k[i].key < pivot) ++i;
            while (k[j].key > pivot) --j;
            if (i <= j) {
                std::swap(k[i], k[j]);
                ++i;
                --j;
            }
        }
        if (j - lo < hi - i) {
            quickSort(k, lo, j);
            lo = i;
        } else {
            quickSort(k, i, hi);
            hi = j;
        }
    }
    bubbleSort(k, lo, hi);
}

// The arrows of a sorted header ("BBUP", "BBDOWN"), drawn once and kept for the run.
QPixmap arrowPixmap(bool up, const QColor& ink) {
    static QPixmap cache[2];
    QPixmap& pm = cache[up ? 0 : 1];
    if (pm.isNull()) {
        constexpr int kSize = 10;
        pm = QPixmap(kSize * 2, kSize * 2);
        pm.setDevicePixelRatio(2);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath tri;
        const double top = 2, bottom = kSize - 2, mid = kSize / 2.0;
        if (up) {
            tri.moveTo(mid, top);
            tri.lineTo(kSize - 1, bottom);
            tri.lineTo(1, bottom);
        } else {
            tri.moveTo(1, top);
            tri.lineTo(kSize - 1, top);
            tri.lineTo(mid, bottom);
        }
        tri.closeSubpath();
        p.fillPath(tri, ink);
    }
    return pm;
}

} // namespace

// ---- the rows -------------------------------------------------------------------------

// The cells of every row, row 0 being the header; the view sees the data rows it was told
// of (shown_), which lag behind rows added until the next flush.
class StrSortGridModel final : public QAbstractTableModel {
public:
    explicit StrSortGridModel(QObject* parent) : QAbstractTableModel(parent) {
        cells_.resize(static_cast<std::size_t>(rows_ * cols_));
        align_.assign(static_cast<std::size_t>(cols_), Qt::AlignLeft | Qt::AlignVCenter);
        flushTimer_.setSingleShot(true);
        flushTimer_.setInterval(kFlushMs);
        connect(&flushTimer_, &QTimer::timeout, this, [this] { flush(); });
    }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    std::string& at(int col, int row) { return cells_[slot(col, row)]; }
    const std::string& at(int col, int row) const { return cells_[slot(col, row)]; }

    void setCols(int n) {
        n = std::max(n, 1);
        beginResetModel();
        std::deque<std::string> cells(static_cast<std::size_t>(rows_ * n));
        for (int r = 0; r < rows_; ++r)
            for (int c = 0; c < std::min(n, cols_); ++c)
                cells[static_cast<std::size_t>(r * n + c)] = std::move(at(c, r));
        cells_ = std::move(cells);
        cols_ = n;
        align_.resize(static_cast<std::size_t>(n), Qt::AlignLeft | Qt::AlignVCenter);
        shown_ = rows_ - 1;
        endResetModel();
    }

    void setRows(int n) {
        n = std::max(n, TStrSortGrid::FixedRows + 1);
        if (n < rows_ && shown_ > n - 1) {
            beginRemoveRows({}, n - 1, shown_ - 1);
            shown_ = n - 1;
            resizeCells(n);
            endRemoveRows();
            return;
        }
        resizeCells(n);
        if (shown_ < rows_ - 1 && !flushTimer_.isActive()) flushTimer_.start();
    }

    void flush() {
        flushTimer_.stop();
        if (shown_ >= rows_ - 1) return;
        beginInsertRows({}, shown_, rows_ - 2);
        shown_ = rows_ - 1;
        endInsertRows();
    }

    // A change of cells in rows from..to (grid rows) that the view may show.
    void changed(int from, int to, int col0, int col1) {
        if (from == 0) {
            emit headerDataChanged(Qt::Horizontal, col0, col1);
            ++from;
        }
        to = std::min(to, shown_);
        if (from <= to) emit dataChanged(index(from - 1, col0), index(to - 1, col1));
    }

    void setAlignment(int col, Qt::Alignment a) {
        align_[static_cast<std::size_t>(col)] = a;
        if (shown_ > 0) emit dataChanged(index(0, col), index(shown_ - 1, col));
    }

    // Rows from..to in the order of keys (their row numbers), reversed for descending.
    void reorder(const std::vector<SortKey>& keys, int from, bool ascending) {
        std::vector<std::string> moved(keys.size() * static_cast<std::size_t>(cols_));
        for (std::size_t t = 0; t < keys.size(); ++t)
            for (int c = 0; c < cols_; ++c)
                moved[t * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)] =
                    std::move(at(c, keys[t].row));
        const int last = from + static_cast<int>(keys.size()) - 1;
        for (std::size_t t = 0; t < keys.size(); ++t) {
            const int row = ascending ? from + static_cast<int>(t) : last - static_cast<int>(t);
            for (int c = 0; c < cols_; ++c)
                at(c, row) = std::move(moved[t * static_cast<std::size_t>(cols_) +
                                             static_cast<std::size_t>(c)]);
        }
        changed(from, last, 0, cols_ - 1);
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : shown_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : cols_;
    }
    QVariant data(const QModelIndex& i, int role) const override {
        if (!checkIndex(i, CheckIndexOption::IndexIsValid)) return {};
        if (role == Qt::DisplayRole) return shown(at(i.column(), i.row() + 1));
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(align_[static_cast<std::size_t>(i.column())]);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (role != Qt::DisplayRole || section < 0) return {};
        if (o == Qt::Vertical) return section + 1;
        return section < cols_ ? shown(at(section, 0)) : QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        return i.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    std::size_t slot(int col, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
               static_cast<std::size_t>(col);
    }
    void resizeCells(int n) {
        rows_ = n;
        cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
    }

    int cols_ = 5;
    int rows_ = 5;
    int shown_ = 4;
    // A deque: growing it never moves the cells already there (a vector of 800,000 cells
    // took over 30 ms to move, a stall in the middle of a search).
    std::deque<std::string> cells_;
    std::vector<Qt::Alignment> align_;
    QTimer flushTimer_;
};

// ---- the view -------------------------------------------------------------------------

namespace {

// The fixed row: every cell is painted by the grid's DrawCell.
class SortHeader final : public QHeaderView {
public:
    explicit SortHeader(TStrSortGrid* grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        painter->save();
        grid_->DrawCell(*painter, rect, logicalIndex);
        painter->restore();
    }

private:
    TStrSortGrid* grid_;
};

} // namespace

TStrSortGrid::TStrSortGrid(QWidget* parent)
    : QTableView(parent), model_(new StrSortGridModel(this)) {
    auto* header = new SortHeader(this);
    setHorizontalHeader(header);
    setModel(model_);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(8);
    header->setFixedHeight(kRowHeight);
    header->viewport()->installEventFilter(this);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

TStrSortGrid::~TStrSortGrid() = default;

int TStrSortGrid::ColCount() const { return model_->cols(); }
void TStrSortGrid::setColCount(int n) { model_->setCols(n); }
int TStrSortGrid::RowCount() const { return model_->rows(); }
void TStrSortGrid::setRowCount(int n) { model_->setRows(n); }
void TStrSortGrid::flushRows() { model_->flush(); }

const std::string& TStrSortGrid::Cells(int col, int row) const { return model_->at(col, row); }

void TStrSortGrid::setCells(int col, int row, std::string text) {
    model_->at(col, row) = std::move(text);
    model_->changed(row, row, col, col);
}

void TStrSortGrid::setRow(int row, std::vector<std::string> texts) {
    const int n = std::min(static_cast<int>(texts.size()), ColCount());
    for (int c = 0; c < n; ++c) model_->at(c, row) = std::move(texts[static_cast<std::size_t>(c)]);
    if (n > 0) model_->changed(row, row, 0, n - 1);
}

void TStrSortGrid::setColAlignment(int col, Qt::Alignment a) { model_->setAlignment(col, a); }

void TStrSortGrid::SortRows(int from, int to, int col, bool ascending) {
    from = std::max(from, FixedRows);
    to = std::min(to, RowCount() - 1);
    if (from > to) return;
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(to - from + 1));
    for (int r = from; r <= to; ++r) keys.push_back({r, upperAscii(Cells(col, r))});
    quickSort(keys, 0, static_cast<int>(keys.size()) - 1);
    model_->reorder(keys, from, ascending);
}

void TStrSortGrid::MouseDown(Qt::MouseButton, const QPoint& pos) {
    if (SortOps == soNon) return;
    QHeaderView* header = horizontalHeader();
    if (!header->geometry().contains(pos)) return; // not in row 0
    const int x = header->viewport()->mapFrom(this, pos).x();
    const int col = header->logicalIndexAt(x);
    if (col < 0 || onSectionBorder(x)) return;
    sortColumn_ = col;
    sorted_ = true;
    headerText_ = Cells(col, 0);
    ascending_ = SortOps == soUponly ? true : SortOps == soDownOnly ? false : !ascending_;
    SortRows(FixedRows, RowCount() - 1, col, ascending_);
    header->viewport()->update();
}

void TStrSortGrid::clearSortMark() {
    sorted_ = false;
    horizontalHeader()->viewport()->update();
}

// Where the header resizes a column (the grip at a section's right edge, or at the left
// edge of any but the first): a press there resizes, it does not also sort.
bool TStrSortGrid::onSectionBorder(int x) const {
    const QHeaderView* header = horizontalHeader();
    const int col = header->logicalIndexAt(x);
    if (col < 0) return false;
    const int grip = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    const int start = header->sectionViewportPosition(col);
    const bool atLeft = x < start + grip && header->visualIndex(col) > 0;
    const bool atRight = x > start + header->sectionSize(col) - grip;
    return atLeft || atRight;
}

// A press or the second press of a double click on the header is a MouseDown; the header
// then handles it as usual (resizing).
bool TStrSortGrid::eventFilter(QObject* watched, QEvent* e) {
    if (watched == horizontalHeader()->viewport() &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
        auto* m = static_cast<QMouseEvent*>(e);
        MouseDown(m->button(), horizontalHeader()->viewport()->mapTo(this, m->position().toPoint()));
    }
    return QTableView::eventFilter(watched, e);
}

void TStrSortGrid::DrawCell(QPainter& p, const QRect& rect, int col) const {
    const QHeaderView* header = horizontalHeader();
    QStyleOptionHeader opt;
    opt.initFrom(header);
    opt.rect = rect;
    opt.section = col;
    opt.orientation = Qt::Horizontal;
    opt.textAlignment = Qt::AlignLeft | Qt::AlignTop;
    header->style()->drawControl(QStyle::CE_HeaderSection, &opt, &p, header);
    p.setClipRect(rect);
    p.setPen(opt.palette.color(QPalette::ButtonText));
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    if (!(sorted_ && col == sortColumn_ && !headerText_.empty())) {
        p.drawText(rect.adjusted(2, 2, 0, 0), flags, shown(Cells(col, 0)));
        return;
    }
    const QString text = shown(headerText_);
    const int w = p.fontMetrics().horizontalAdvance(text);
    p.drawPixmap(rect.left() + w + Spacing + 1, rect.top() + 2,
                 arrowPixmap(ascending_, opt.palette.color(QPalette::ButtonText)));
    p.drawText(rect.adjusted(1, 2, 0, 0), flags, text);
}

} // namespace g3

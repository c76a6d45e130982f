// TStrSortGrid: a string grid whose header cells sort the rows when pressed. Row 0 is the
// one fixed row (the header, shown by the view's header); rows 1 and on are data rows.
// Cells hold byte strings (UTF-8 by convention, file names as they are) and are shown
// readable, an ill-formed byte as U+FFFD.
//
// The grid is a view over a model of its own rows: cells change at once, but rows added
// or removed at the end reach the view in batches (flushRows(), also run by a short timer),
// so a search can add a hundred thousand rows without a signal per row. Rows removed
// (setRowCount smaller) leave the view at once.
//
// A press of any mouse button on a header cell (not on the border between two, which
// resizes the column) sorts the data rows by that column; see MouseDown. User-interface
// thread only.
#pragma once

#include <QTableView>

#include <string>
#include <vector>

namespace g3 {

class StrSortGridModel;

enum TSortOps { soBoth, soUponly, soDownOnly, soNon };

class TStrSortGrid : public QTableView {
    Q_OBJECT
public:
    explicit TStrSortGrid(QWidget* parent = nullptr);
    ~TStrSortGrid() override;

    // Which directions a header press may give; soNon switches sorting off.
    TSortOps SortOps = soBoth;
    // Gap in pixels between the sorted header's text and its arrow.
    int Spacing = 10;

    // Columns; changing them keeps the cells that remain.
    int ColCount() const;
    void setColCount(int n);
    // Rows, the fixed row included; at least 2 (one data row). A grid made longer gets
    // empty rows at the end; one made shorter keeps the cells of the rows that remain.
    int RowCount() const;
    void setRowCount(int n);
    static constexpr int FixedRows = 1;

    const std::string& Cells(int col, int row) const;
    void setCells(int col, int row, std::string text);
    // All cells of one row at once (texts past ColCount are ignored).
    void setRow(int row, std::vector<std::string> texts);
    void setColWidths(int col, int width) { setColumnWidth(col, width); }
    void setColAlignment(int col, Qt::Alignment a);

    // Sort state: the column of the last sorting press, whether one sorted, its direction,
    // and the header's text as it was then.
    int sortColumn() const { return sortColumn_; }
    bool sorted() const { return sorted_; }
    bool ascending() const { return ascending_; }
    const std::string& headerText() const { return headerText_; }
    // The rows are no longer in the order of the last sort (new rows came): the header
    // shows no arrow until the next sorting press. The direction is kept.
    void clearSortMark();

    // A press at pos (the grid's own coordinates) with any button: on a header cell the
    // data rows are sorted by its column. The first sorting press after creation with
    // soBoth sorts descending; each later one flips the direction, whatever its column.
    void MouseDown(Qt::MouseButton Button, const QPoint& pos);
    // Sorts rows from..to by the texts of column col, ASCII letters upper-cased, bytes
    // compared unsigned; the order of equal keys is the one of the sort's own quicksort.
    void SortRows(int from, int to, int col, bool ascending);

    // Hands the rows added since the last flush to the view.
    void flushRows();

    // DrawCell of the header: the sorted column's cell shows its text and the direction
    // arrow, Spacing pixels after the text.
    void DrawCell(QPainter& painter, const QRect& rect, int col) const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool onSectionBorder(int headerX) const;

    StrSortGridModel* model_;
    int sortColumn_ = 0;
    std::string headerText_;
    bool sorted_ = false;
    bool ascending_ = true;
};

} // namespace g3

// The rows of a file list: one per item of the folder shown, holding the item's ID bytes
// and its raw facts (size, time, attributes, type). Texts are made in data() when a view
// asks, so a row costs about 60 bytes plus its ID. The model is filled in one reset.
//
// Sorting follows one sort state shared by every file list of the process (module state).
// User-interface thread only.
#pragma once

#include "shellviews/shellnamespace.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace g3 {

struct FileRow {
    ItemIDList id;              // relative to the folder shown
    std::uint64_t size = 0;
    FileTime lastWriteTime = 0;
    std::uint32_t attributes = 0; // SFGAO_FOLDER, SFGAO_LINK, SFGAO_SHARE
    std::uint16_t typeIndex = 0;  // mimetypes.h; also the icon
    std::uint8_t overlay = 0;     // 1 for a link, else 0
    bool hasFindData = false;
};

// The sort state of the file lists that share it: the window hands its own to its list; a
// list made without one keeps its own.
struct FileViewSortState {
    int SortColumn = 0;
    int SortDirection = 1;
    std::array<int, 5> ColumnDirection{1, 1, 1, 1, 1};
};

// The sub-item texts of a row: size, type name, modification time.
using SubItemTexts = std::array<std::string, 3>;

// "" gives 15 zeros; 1-14 characters are left-padded with "0" to 15; longer texts stay.
std::string PadSizeKey(std::string_view text);
// The collation the list sorts texts with (the user's locale, case-sensitive).
int compareText(std::string_view a, std::string_view b);
// Column 1: padded size texts; columns 2-5: sub-item column - 1 (absent ones are empty);
// each times ColumnDirection of the column. Other columns give 0.
int CompareByText(const SubItemTexts& a, const SubItemTexts& b, int column,
                  const FileViewSortState& sort);

// "#,##" of the size (blank for 0) when the find data was had, else "".
std::string sizeText(const FileRow& r);
// "yy/mm/dd hh:nn" of the local DOS date-time of the last write, "" without find data or
// for a time the DOS format cannot hold.
std::string timeText(const FileRow& r);
SubItemTexts subItemTexts(const FileRow& r);

// True when an item passes the extension filter: always for folders and for an empty
// mask, else when the extension of the parsing name (from the last "." after the last
// "/", dot included) equals a mask entry, both ASCII upper-cased.
bool MaskAccepts(const std::vector<std::string>& mask, std::string_view parsingName, bool folder);

class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 5;
    static constexpr int IdRole = Qt::UserRole + 1; // QByteArray: the row's ID bytes

    using IconProvider = std::function<QIcon(int typeIndex, int overlay)>;
    // Called for an edited caption; returns true when the item was renamed.
    using RenameHandler = std::function<bool(int row, const QString& text)>;

    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Lists folder into a new set of rows (mask applied) and replaces the old ones in one
    // reset, sorted by the shared sort state. False, with the rows unchanged, when the
    // folder cannot be listed.
    bool fill(const ShellFolderPtr& folder, const std::vector<std::string>& mask);
    // Sorts by column (0 by the folder's name order, 1-3 by text, others keep the order)
    // with the shared ColumnDirection; rows move, persistent indexes follow.
    void sortByColumn(int column);

    const ShellFolderPtr& folder() const { return folder_; }
    const FileRow& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    void setRowId(int r, ItemIDList id);
    // Reads the row's size and last-write time anew; true (and the row's texts announced
    // as changed) when they differ. A file that vanished keeps its row.
    bool refreshRow(int r);
    QString caption(int r) const;
    static QString columnTitle(int column);
    // The column whose caption carries the leading "*" (-1: none).
    void setStarredColumn(int column);
    int starredColumn() const { return starred_; }
    void setReadOnly(bool on) { readOnly_ = on; }
    void setIconProvider(IconProvider p) { icons_ = std::move(p); }
    void setRenameHandler(RenameHandler h) { rename_ = std::move(h); }
    // The sort state the rows are ordered by (the model's own until one is handed in).
    void setSortState(FileViewSortState* s) { sort_ = s ? s : &ownSort_; }
    FileViewSortState& sortState() const { return *sort_; }

private:
    // The new order of the rows for column as old row numbers; empty: keep the order.
    std::vector<std::size_t> sortPermutation(int column) const;

    std::vector<FileRow> rows_;
    ShellFolderPtr folder_;
    IconProvider icons_;
    RenameHandler rename_;
    int starred_ = 0;
    bool readOnly_ = false;
    FileViewSortState ownSort_;
    FileViewSortState* sort_ = &ownSort_;
};

} // namespace g3

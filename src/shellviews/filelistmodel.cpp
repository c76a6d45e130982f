#include "shellviews/filelistmodel.h"

#include "platform/dostime.h"
#include "platform/numfmt.h"
#include "shellviews/mimetypes.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace g3 {

namespace {

const char* const kTitles[] = {"表札", "大きさ(バイト)", "家の種類", "改築日時", ""};

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The collation key of a text: memcmp of two keys orders as compareText of the texts.
std::string collationKey(const std::string& s) {
    std::size_t n = std::strxfrm(nullptr, s.c_str(), 0);
    std::string key(n + 1, '\0');
    std::strxfrm(key.data(), s.c_str(), n + 1);
    key.resize(n);
    return key;
}

// A permutation of rows ordered by one key per row, times direction; ties keep their order.
template <class Key>
std::vector<std::size_t> orderByKeys(const std::vector<Key>& keys, int direction) {
    std::vector<std::size_t> perm(keys.size());
    std::iota(perm.begin(), perm.end(), 0);
    std::stable_sort(perm.begin(), perm.end(), [&](std::size_t a, std::size_t b) {
        return direction > 0 ? keys[a] < keys[b] : keys[b] < keys[a];
    });
    return perm;
}

// Ranks of the type names in collation order, so rows compare by two integers.
std::vector<int> typeRanks() {
    int n = typeCount();
    std::vector<std::string> names(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) names[static_cast<std::size_t>(i)] = typeInfo(i).typeName.toStdString();
    std::vector<int> order(static_cast<std::size_t>(n)), rank(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compareText(names[static_cast<std::size_t>(a)], names[static_cast<std::size_t>(b)]) < 0;
    });
    for (int r = 0; r < n; ++r) {
        int prev = r > 0 ? order[static_cast<std::size_t>(r - 1)] : -1;
        bool same = prev >= 0 && compareText(names[static_cast<std::size_t>(prev)],
                                             names[static_cast<std::size_t>(order[static_cast<std::size_t>(r)])]) == 0;
        rank[static_cast<std::size_t>(order[static_cast<std::size_t>(r)])] =
            same ? rank[static_cast<std::size_t>(prev)] : r;
    }
    return rank;
}

// An empty permutation keeps the order.
template <class T>
void applyPermutation(std::vector<T>& v, const std::vector<std::size_t>& perm) {
    if (perm.empty()) return;
    std::vector<T> out;
    out.reserve(v.size());
    for (std::size_t i : perm) out.push_back(std::move(v[i]));
    v.swap(out);
}

} // namespace

std::string PadSizeKey(std::string_view text) {
    if (text.size() >= 15) return std::string(text);
    return std::string(15 - text.size(), '0') + std::string(text);
}

int compareText(std::string_view a, std::string_view b) {
    int c = std::strcoll(std::string(a).c_str(), std::string(b).c_str());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareByText(const SubItemTexts& a, const SubItemTexts& b, int column,
                  const FileViewSortState& sort) {
    const auto& dir = sort.ColumnDirection;
    if (column == 1) return compareText(PadSizeKey(a[0]), PadSizeKey(b[0])) * dir[1];
    if (column < 2 || column > 5) return 0;
    std::size_t i = static_cast<std::size_t>(column - 1);
    std::string_view ta = i < a.size() ? std::string_view(a[i]) : std::string_view();
    std::string_view tb = i < b.size() ? std::string_view(b[i]) : std::string_view();
    int d = static_cast<std::size_t>(column) < dir.size() ? dir[static_cast<std::size_t>(column)] : 0;
    return compareText(ta, tb) * d;
}

std::string sizeText(const FileRow& r) {
    return r.hasFindData ? formatGroupedBlankZero(static_cast<std::int64_t>(r.size)) : std::string();
}

std::string timeText(const FileRow& r) {
    std::uint32_t dos = 0;
    if (!r.hasFindData || !fileTimeToDos(r.lastWriteTime, dos)) return {};
    return formatDosShort(dos);
}

SubItemTexts subItemTexts(const FileRow& r) {
    return {sizeText(r), typeInfo(r.typeIndex).typeName.toStdString(), timeText(r)};
}

bool MaskAccepts(const std::vector<std::string>& mask, std::string_view parsingName, bool folder) {
    if (mask.empty() || folder) return true;
    std::size_t slash = parsingName.rfind('/');
    std::size_t dot = parsingName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return false;
    std::string ext = upperAscii(parsingName.substr(dot));
    return std::any_of(mask.begin(), mask.end(), [&](const std::string& m) { return upperAscii(m) == ext; });
}

// ---- FileListModel -----------------------------------------------------------------------

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString FileListModel::caption(int r) const {
    std::string text;
    if (r < 0 || r >= rowCount() || !folder_) return {};
    GetDisplayName(folder_.get(), row(r).id, SHGDN_INFOLDER, text);
    return QString::fromStdString(text);
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const FileRow& r = row(index.row());
    int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (col) {
        case 0: return caption(index.row());
        case 1: return QString::fromStdString(sizeText(r));
        case 2: return typeInfo(r.typeIndex).typeName;
        case 3: return QString::fromStdString(timeText(r));
        default: return QString();
        }
    case Qt::DecorationRole:
        if (col == 0 && icons_) return icons_(r.typeIndex, r.overlay);
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment((col == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case IdRole: return QByteArray::fromStdString(r.id.bytes());
    default: return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::DisplayRole) return (section == starred_ ? QStringLiteral("*") : QString()) + columnTitle(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment((section == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Drag-enabled, so a press on a selected row keeps the selection for a drag.
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && !readOnly_) f |= Qt::ItemIsEditable;
    return f;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != 0 || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    bool renamed = rename_ && rename_(index.row(), value.toString());
    // Refused or not, the caption shows the row's ID again: the new name or the old one.
    emit dataChanged(index, index);
    return renamed;
}

QString FileListModel::columnTitle(int column) {
    return column >= 0 && column < kColumns ? QString::fromUtf8(kTitles[column]) : QString();
}

void FileListModel::setStarredColumn(int column) {
    if (starred_ == column) return;
    starred_ = column;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

void FileListModel::setRowId(int r, ItemIDList id) {
    rows_[static_cast<std::size_t>(r)].id = std::move(id);
    emit dataChanged(index(r, 0), index(r, kColumns - 1));
}

bool FileListModel::refreshRow(int r) {
    FileRow& row = rows_[static_cast<std::size_t>(r)];
    FindData d;
    if (!folder_ || !folder_->GetDataFromIDList(row.id, d)) return false;
    const std::uint64_t size = d.isDirectory() ? 0 : d.size;
    if (row.hasFindData && row.size == size && row.lastWriteTime == d.lastWriteTime) return false;
    row.hasFindData = true;
    row.size = size;
    row.lastWriteTime = d.lastWriteTime;
    // The whole row: an open name editor is left as the user typed it (a one-cell change
    // would load the cell's text into it again).
    emit dataChanged(index(r, 0), index(r, kColumns - 1));
    return true;
}

bool FileListModel::fill(const ShellFolderPtr& folder, const std::vector<std::string>& mask) {
    if (!folder) return false;
    std::vector<FileRow> next;
    std::string parsing;
    bool listed = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                                      [&](EnumItem&& item) {
        std::uint32_t a = folder->GetAttributesOf(item.id, SFGAO_FOLDER | SFGAO_LINK | SFGAO_SHARE);
        if (!mask.empty()) {
            folder->GetDisplayNameOf(item.id, SHGDN_FORPARSING, parsing);
            if (!MaskAccepts(mask, parsing, a & SFGAO_FOLDER)) return;
        }
        FileRow r;
        r.attributes = a;
        r.overlay = (a & SFGAO_LINK) && !(a & SFGAO_SHARE) ? 1 : 0;
        // The type depends only on the last ID, so the relative ID serves for the absolute.
        r.typeIndex = static_cast<std::uint16_t>(typeIndexOfItem(item.id));
        r.hasFindData = item.hasFindData;
        r.size = item.size;
        r.lastWriteTime = item.lastWriteTime;
        r.id = std::move(item.id);
        next.push_back(std::move(r));
    });
    if (!listed) return false;
    beginResetModel();
    folder_ = folder;
    rows_.swap(next);
    applyPermutation(rows_, sortPermutation(sortState().SortColumn));
    endResetModel();
    return true;
}

std::vector<std::size_t> FileListModel::sortPermutation(int column) const {
    const auto& rows = rows_;
    if (column < 0 || column > 3 || rows.size() < 2) return {};
    int dir = sortState().ColumnDirection[static_cast<std::size_t>(column)];
    if (column == 0) {
        std::vector<std::size_t> perm(rows.size());
        std::iota(perm.begin(), perm.end(), 0);
        // Rows hold one ID each: its flags and name are read once, not at every comparison.
        struct NameKey {
            std::uint8_t flags;
            std::string_view name;
        };
        std::vector<NameKey> keys;
        keys.reserve(rows.size());
        for (const auto& r : rows) {
            if (r.id.idCount() != 1) break;
            keys.push_back({r.id.firstFlags(), r.id.firstName()});
        }
        if (keys.size() == rows.size()) {
            std::stable_sort(perm.begin(), perm.end(), [&](std::size_t a, std::size_t b) {
                return ShellFolder::compareOneID(keys[a].flags, keys[a].name, keys[b].flags, keys[b].name) * dir < 0;
            });
            return perm;
        }
        const ShellFolder* f = folder_.get();
        std::stable_sort(perm.begin(), perm.end(), [&](std::size_t a, std::size_t b) {
            return CompareIDLists(f, rows[a].id, rows[b].id) * dir < 0;
        });
        return perm;
    }
    if (column == 2) {
        std::vector<int> rank = typeRanks(), keys;
        keys.reserve(rows.size());
        for (const auto& r : rows) keys.push_back(rank[r.typeIndex]);
        return orderByKeys(keys, dir);
    }
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const auto& r : rows)
        keys.push_back(collationKey(column == 1 ? PadSizeKey(sizeText(r)) : timeText(r)));
    return orderByKeys(keys, dir);
}

void FileListModel::sortByColumn(int column) {
    std::vector<std::size_t> perm = sortPermutation(column);
    if (perm.empty()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(perm.size());
    for (std::size_t k = 0; k < perm.size(); ++k) newRowOf[perm[k]] = static_cast<int>(k);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.push_back(index(newRowOf[static_cast<std::size_t>(i.row())], i.column()));
    applyPermutation(rows_, perm);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace g3

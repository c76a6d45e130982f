#include "shellviews/mimetypes.h"

#include <QHash>
#include <QLocale>
#include <QMimeDatabase>

#include <string>
#include <unordered_map>
#include <vector>

namespace g3 {

void useJapaneseTypeNames() {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    if (QLocale() != japanese) QLocale::setDefault(japanese);
}

namespace {

struct Table {
    // Every name is read after this, so they are all Japanese even where the program's
    // start did not ask first (tests, tools).
    Table() { useJapaneseTypeNames(); }
    std::vector<TypeInfo> entries;
    QHash<QString, int> byMimeName;
    std::unordered_map<std::string, int> byExtension;
    int folder = -1, drive = -1, home = -1, desktop = -1;
    QMimeDatabase db;
};

Table& table() {
    static Table t;
    return t;
}

int addType(const QMimeType& mime, TypeFallback fallback) {
    Table& t = table();
    auto it = t.byMimeName.constFind(mime.name());
    if (it != t.byMimeName.constEnd() && fallback == TypeFallback::File) return *it;
    TypeInfo info;
    info.mimeName = mime.name();
    info.typeName = mime.comment().left(80);
    info.iconName = mime.iconName();
    info.genericIconName = mime.genericIconName();
    info.fallback = fallback;
    t.entries.push_back(std::move(info));
    int index = static_cast<int>(t.entries.size()) - 1;
    if (fallback == TypeFallback::File) t.byMimeName.insert(mime.name(), index);
    return index;
}

int special(int Table::*slot, const char* mimeName, TypeFallback fallback,
            const char* iconName) {
    Table& t = table();
    if (t.*slot < 0) {
        t.*slot = addType(t.db.mimeTypeForName(QString::fromLatin1(mimeName)), fallback);
        if (iconName) t.entries[static_cast<std::size_t>(t.*slot)].iconName = QString::fromLatin1(iconName);
    }
    return t.*slot;
}


// Index 0 is the type of a file the database does not know.
void ensureUnknown() {
    Table& t = table();
    if (t.entries.empty())
        addType(t.db.mimeTypeForName(QStringLiteral("application/octet-stream")),
                TypeFallback::File);
}

// The cache key: everything after the first "." ("tar.gz" for "a.tar.gz"), or the whole
// name when it has none. Globs such as "*.tar.gz" look past the last extension, and names
// without one ("Makefile") match literally, so a shorter key would mix types up.
std::string extensionKey(std::string_view name) {
    std::size_t dot = name.find('.', name.empty() || name[0] != '.' ? 0 : 1);
    if (dot == std::string_view::npos) return std::string(1, '\0') + std::string(name);
    return std::string(name.substr(dot + 1));
}

} // namespace

int typeIndexForFileName(std::string_view name) {
    ensureUnknown();
    Table& t = table();
    std::string key = extensionKey(name);
    auto it = t.byExtension.find(key);
    if (it != t.byExtension.end()) return it->second;
    QMimeType mime = t.db.mimeTypeForFile(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                                          QMimeDatabase::MatchExtension);
    int index = mime.isDefault() ? 0 : addType(mime, TypeFallback::File);
    t.byExtension.emplace(std::move(key), index);
    return index;
}

int typeIndexForFolder() {
    ensureUnknown();
    return special(&Table::folder, "inode/directory", TypeFallback::Folder, nullptr);
}

int typeIndexForDrive() {
    ensureUnknown();
    return special(&Table::drive, "inode/mount-point", TypeFallback::Drive, "drive-harddisk");
}

int typeIndexForHome() {
    ensureUnknown();
    return special(&Table::home, "inode/directory", TypeFallback::Home, "user-home");
}

int typeIndexForDesktop() {
    ensureUnknown();
    return special(&Table::desktop, "inode/directory", TypeFallback::Desktop, "user-desktop");
}

const TypeInfo& typeInfo(int index) {
    ensureUnknown();
    const auto& e = table().entries;
    if (index < 0 || static_cast<std::size_t>(index) >= e.size()) return e[0];
    return e[static_cast<std::size_t>(index)];
}

int typeCount() {
    ensureUnknown();
    return static_cast<int>(table().entries.size());
}

} // namespace g3

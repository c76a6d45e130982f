// The program's type table: type names and icon names of the types the views show, found
// from file names alone (the MIME database's glob rules, never the content). Each type is
// looked up once and keeps its index for the life of the process, so a row stores only
// that index. User-interface thread only.
#pragma once

#include <QString>

#include <string_view>

namespace g3 {

// What a view draws when the icon theme has no icon for the type.
enum class TypeFallback { File, Folder, Drive, Home, Desktop };

struct TypeInfo {
    QString mimeName;
    QString typeName; // the database's comment in Japanese where it has one, at most 80 characters
    QString iconName;
    QString genericIconName;
    TypeFallback fallback = TypeFallback::File;
};

// Type names come in Japanese whatever the user's locale: makes Japanese the default of
// Qt's locale, which the MIME database's comments follow. Call once at start, before any
// other thread uses QLocale or the database.
void useJapaneseTypeNames();

// Type of a file from its name; cached per extension chain (the text after the first ".").
int typeIndexForFileName(std::string_view name);
int typeIndexForFolder();
int typeIndexForDrive(); // the file-system root and mounted volumes
int typeIndexForHome();
int typeIndexForDesktop();

// The entry of an index handed out above; index 0 (an unknown file) for any other value.
const TypeInfo& typeInfo(int index);
int typeCount();

} // namespace g3

#include "shellviews/mimetypes.h"

#include <gtest/gtest.h>

using namespace g3;

// The tests run under C.UTF-8: the names must be Japanese all the same.
TEST(MimeTypes, TypeNamesAreJapaneseWhateverTheLocale) {
    useJapaneseTypeNames();
    for (int index : {typeIndexForFileName("a.txt"), typeIndexForFileName("b.png"),
                      typeIndexForFolder()}) {
        const QString name = typeInfo(index).typeName;
        EXPECT_TRUE(std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() > 0x3000; }))
            << name.toStdString();
    }
}

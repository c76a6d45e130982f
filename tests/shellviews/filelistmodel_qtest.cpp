#include "shellviews/filelistmodel.h"

#include "shellviews/shelltemp.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace g3;
using g3test::writeFile;
using g3test::makeFolders;

namespace {

ShellFolderPtr bind(const std::string& path) {
    ItemIDList id;
    if (!ParseDisplayName(path, id)) return nullptr;
    return SHGetDesktopFolder()->BindToObject(id);
}

std::vector<std::string> captions(const FileListModel& m) {
    std::vector<std::string> out;
    for (int r = 0; r < m.rowCount(); ++r) out.push_back(m.caption(r).toStdString());
    return out;
}

QString text(const FileListModel& m, const std::string& caption, int column) {
    for (int r = 0; r < m.rowCount(); ++r)
        if (m.caption(r).toStdString() == caption) return m.index(r, column).data().toString();
    return QStringLiteral("<missing>");
}


} // namespace

class FileListModelTest : public QObject {
    Q_OBJECT
private slots:

    void padsSizesToFifteen() {
        QCOMPARE(PadSizeKey(""), std::string("000000000000000"));
        QCOMPARE(PadSizeKey("1"), std::string("000000000000001"));
        QCOMPARE(PadSizeKey("999,999,999,999"), std::string("999,999,999,999"));
        QCOMPARE(PadSizeKey("1,000,000,000,000"), std::string("1,000,000,000,000"));
    }

    void comparesTextsByColumn() {
        SubItemTexts zero{"", "a", ""}, small{"5", "b", ""}, huge{"1,000,000,000,000", "c", ""},
            big{"999,999,999,999", "d", ""};
        FileViewSortState sort;
        QVERIFY(CompareByText(zero, small, 1, sort) < 0);
        QVERIFY(CompareByText(small, big, 1, sort) < 0);
        // Seventeen characters stay unpadded, so 1,000,000,000,000 orders below 999,999,999,999.
        QVERIFY(CompareByText(huge, big, 1, sort) < 0);
        QVERIFY(CompareByText(huge, small, 1, sort) > 0);
        QVERIFY(CompareByText(small, zero, 2, sort) > 0); // type names "b" > "a"
        QCOMPARE(CompareByText(small, zero, 0, sort), 0);
        QCOMPARE(CompareByText(small, zero, 6, sort), 0);
        QCOMPARE(CompareByText(small, zero, 5, sort), 0); // no sub-item behind the fifth column
        sort.ColumnDirection[1] = -1;
        QVERIFY(CompareByText(zero, small, 1, sort) > 0);
    }

    void masksByExtension() {
        const std::vector<std::string> jpg{".JPG"};
        QVERIFY(MaskAccepts(jpg, "/x/a.jpg", false));
        QVERIFY(!MaskAccepts(jpg, "/x/readme", false));
        QVERIFY(MaskAccepts(jpg, "/x/readme", true));
        QVERIFY(!MaskAccepts(jpg, "/x.jpg/readme", false)); // a dot of the folder is no extension
        QVERIFY(!MaskAccepts(jpg, "/x/a.jpeg", false));
        QVERIFY(MaskAccepts({}, "/x/readme", false));
    }

    void fillsAndPassesTheModelTester() {
        g3test::TempDir t;
        makeFolders(t / "sub");
        writeFile(t / "file2.txt", "ab");
        writeFile(t / "file10.txt", "abc");
        writeFile(t / "empty");
        FileListModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(m.fill(bind(t.path()), {}));
        QCOMPARE(captions(m), (std::vector<std::string>{"sub", "empty", "file2.txt", "file10.txt"}));
        QCOMPARE(m.columnCount(), 5);
        QCOMPARE(text(m, "file10.txt", 1), QStringLiteral("3"));
        QCOMPARE(text(m, "empty", 1), QString());
        QCOMPARE(text(m, "sub", 1), QString());
        QCOMPARE(text(m, "file2.txt", 3).size(), 14); // yy/mm/dd hh:nn
        QCOMPARE(m.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight, Qt::AlignRight);
        QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("*表札"));
        QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("大きさ(バイト)"));
        QCOMPARE(m.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
        QCOMPARE(m.index(0, 0).data(FileListModel::IdRole).toByteArray().toStdString(), m.row(0).id.bytes());

        m.sortState().ColumnDirection[1] = -1;
        m.sortByColumn(1);
        QCOMPARE(captions(m).front(), std::string("file10.txt"));
        m.sortByColumn(4); // no order behind the fifth column: nothing moves, nothing fails
        QCOMPARE(captions(m).front(), std::string("file10.txt"));

        // A second fill replaces the rows; a folder that cannot be listed leaves them.
        writeFile(t / "new");
        QVERIFY(m.fill(bind(t.path()), {}));
        QCOMPARE(m.rowCount(), 5);
        QVERIFY(!m.fill(nullptr, {}));
        QCOMPARE(m.rowCount(), 5);
    }

    void emptyFolderGivesNoRows() {
        g3test::TempDir t;
        FileListModel m;
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m.sortState().SortColumn = 1;
        QVERIFY(m.fill(bind(t.path()), {}));
        QCOMPARE(m.rowCount(), 0);
    }

    void largeSizesShowAndSort() {
        g3test::TempDir t;
        writeFile(t / "four_g");
        writeFile(t / "tera");
        writeFile(t / "nines");
        writeFile(t / "zero");
        writeFile(t / "seven", "1234567");
        makeFolders(t / "dir");
        QVERIFY(truncate((t / "four_g").c_str(), 4294967296LL) == 0);
        const bool tera = truncate((t / "tera").c_str(), 1000000000000LL) == 0 &&
                          truncate((t / "nines").c_str(), 999999999999LL) == 0;
        FileListModel m;
        m.sortState().SortColumn = 1;
        QVERIFY(m.fill(bind(t.path()), {}));
        QCOMPARE(text(m, "four_g", 1), QStringLiteral("4,294,967,296"));
        std::vector<std::string> order = captions(m);
        if (tera) {
            QCOMPARE(text(m, "tera", 1), QStringLiteral("1,000,000,000,000"));
            // The unpadded 17 characters sort below the 15 of 999,999,999,999.
            QCOMPARE(order.back(), std::string("nines"));
            QCOMPARE(order[order.size() - 2], std::string("tera"));
            order.resize(order.size() - 2);
        } else {
            std::erase(order, std::string("tera"));
            std::erase(order, std::string("nines"));
        }
        // Zero-byte file and folder both as 15 zeros (tied, in listing order), then 7, then 4 GiB.
        QCOMPARE(order.size(), std::size_t(4));
        QCOMPARE(order[2], std::string("seven"));
        QCOMPARE(order[3], std::string("four_g"));
    }

    void masksWhileFilling() {
        g3test::TempDir t;
        writeFile(t / "a.jpg");
        writeFile(t / "b.JPG");
        writeFile(t / "readme");
        writeFile(t / "c.png");
        makeFolders(t / "folder");
        FileListModel m;
        QVERIFY(m.fill(bind(t.path()), {".JPG"}));
        QCOMPARE(captions(m), (std::vector<std::string>{"folder", "a.jpg", "b.JPG"}));
    }

    void editsGoThroughTheRenameHandler() {
        g3test::TempDir t;
        writeFile(t / "a");
        FileListModel m;
        QVERIFY(m.fill(bind(t.path()), {}));
        QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
        QString asked;
        m.setRenameHandler([&](int, const QString& s) { asked = s; return false; });
        QVERIFY(m.flags(m.index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!m.setData(m.index(0, 0), QStringLiteral("b"), Qt::EditRole));
        QCOMPARE(asked, QStringLiteral("b"));
        QCOMPARE(changed.size(), 1); // the caption is shown again
        QCOMPARE(m.caption(0), QStringLiteral("a"));
        m.setReadOnly(true);
        QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));
    }
};

QTEST_MAIN(FileListModelTest)
#include "filelistmodel_qtest.moc"

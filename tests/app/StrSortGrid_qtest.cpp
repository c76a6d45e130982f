// The sorting grid: its order against a plain rendering of the sort it promises, presses on
// its header with any button and each SortOps, the arrow it paints, and its model while
// rows come in batches and go.
#include "app/StrSortGrid.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>

using namespace g3;

namespace {

// The sort as written down for the grid, word for word: keys upper-cased in ASCII only,
// compared bytewise unsigned; quicksort with the middle key as pivot, bubble sort for five
// rows or fewer.
struct Key {
    int id;
    std::string key;
};

bool before(const std::string& a, const std::string& b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c != 0 ? c < 0 : a.size() < b.size();
}

void referenceSort(std::vector<Key>& k, int lo, int hi) {
    if (hi - lo <= 4) {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int r = lo; r < hi; ++r)
                if (before(k[r + 1].key, k[r].key)) {
                    std::swap(k[r], k[r + 1]);
                    swapped = true;
                }
        }
        return;
    }
    const std::string pivot = k[(lo + hi) / 2].key;
    int i = lo, j = hi;
    while (i <= j) {
        while (before(k[i].key, pivot)) ++i;
        while (before(pivot, k[j].key)) --j;
        if (i <= j) std::swap(k[i++], k[j--]);
    }
    referenceSort(k, lo, j);
    referenceSort(k, i, hi);
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c -= 32;
    return s;
}

// A grid of two columns: the text and the row's id.
void fill(TStrSortGrid& g, const std::vector<std::string>& texts) {
    g.setColCount(2);
    g.setRowCount(static_cast<int>(texts.size()) + 1);
    for (std::size_t r = 0; r < texts.size(); ++r)
        g.setRow(static_cast<int>(r) + 1, {texts[r], std::to_string(r)});
}

std::vector<std::string> column(const TStrSortGrid& g, int col) {
    std::vector<std::string> out;
    for (int r = 1; r < g.RowCount(); ++r) out.push_back(g.Cells(col, r));
    return out;
}

// Presses a header cell with a button, as a user does.
void pressHeader(TStrSortGrid& g, int col, Qt::MouseButton button = Qt::LeftButton) {
    QHeaderView* h = g.horizontalHeader();
    const int x = h->sectionViewportPosition(col) + h->sectionSize(col) / 2;
    QTest::mousePress(h->viewport(), button, {}, QPoint(x, h->height() / 2));
    QTest::mouseRelease(h->viewport(), button, {}, QPoint(x, h->height() / 2));
}

QImage arrowArea(TStrSortGrid& g, int col) {
    QHeaderView* h = g.horizontalHeader();
    const int w = h->fontMetrics().horizontalAdvance(QString::fromStdString(g.Cells(col, 0)));
    const QPoint at(h->sectionViewportPosition(col) + w + g.Spacing + 1, 2);
    return h->viewport()->grab(QRect(at, QSize(10, 10))).toImage();
}

} // namespace

class StrSortGridTest : public QObject {
    Q_OBJECT
private slots:
    // Random keys from a small alphabet (so many are equal but for case, or equal), among
    // them bytes above 0x7f: the grid ends row for row where the written sort ends.
    void sameOrderAsTheWrittenSort_data() {
        QTest::addColumn<int>("rows");
        for (int n : {1, 2, 5, 6, 7, 40, 1000, 70000}) // 70000: past 16-bit row numbers
            QTest::addRow("%d rows", n) << n;
    }
    void sameOrderAsTheWrittenSort() {
        QFETCH(int, rows);
        static const char* const pieces[] = {"a", "A", "b", "家", "\xff", "", "z", "Z1"};
        QRandomGenerator rnd(static_cast<quint32>(rows));
        std::vector<std::string> texts;
        for (int r = 0; r < rows; ++r) {
            std::string t;
            for (int n = rnd.bounded(3); n >= 0; --n) t += pieces[rnd.bounded(8)];
            texts.push_back(t);
        }
        std::vector<Key> keys;
        for (int r = 0; r < rows; ++r) keys.push_back({r, upper(texts[r])});
        referenceSort(keys, 0, rows - 1);
        for (bool ascending : {true, false}) {
            TStrSortGrid g;
            fill(g, texts);
            g.SortRows(1, rows, 0, ascending);
            const std::vector<std::string> ids = column(g, 1);
            for (int t = 0; t < rows; ++t) {
                const int at = ascending ? t : rows - 1 - t;
                QCOMPARE(ids[at], std::to_string(keys[t].id));
            }
        }
    }

    // The first press sorts descending, each later one flips, whatever the column and the
    // button; the arrow shows the direction beside the pressed header's text.
    void pressesOnTheHeaderFlipTheDirection() {
        TStrSortGrid g;
        g.resize(400, 200);
        g.setColCount(2);
        g.setRowCount(4);
        g.setRow(0, {"洞窟", "家"});
        g.setRow(1, {"/b", "abc.txt"});
        g.setRow(2, {"/a", "ZZ.txt"});
        g.setRow(3, {"/c", "ABD.txt"});
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        using Names = std::vector<std::string>;
        pressHeader(g, 1, Qt::RightButton);
        QCOMPARE(column(g, 1), (Names{"ZZ.txt", "ABD.txt", "abc.txt"}));
        QVERIFY(!g.ascending());
        QCOMPARE(g.headerText(), std::string("家"));
        const QImage down = arrowArea(g, 1);
        pressHeader(g, 1);
        QCOMPARE(column(g, 1), (Names{"abc.txt", "ABD.txt", "ZZ.txt"}));
        const QImage up = arrowArea(g, 1);
        QVERIFY(up != down);
        QVERIFY(up != arrowArea(g, 0)); // where no arrow is
        pressHeader(g, 0, Qt::MiddleButton);
        QCOMPARE(column(g, 0), (Names{"/c", "/b", "/a"}));
        QCOMPARE(g.sortColumn(), 0);
        QVERIFY(arrowArea(g, 1) != down); // the arrow went with the sort
        // A press on the border between two columns resizes, it does not sort.
        QHeaderView* h = g.horizontalHeader();
        const int border = h->sectionViewportPosition(1) - 1;
        QTest::mousePress(h->viewport(), Qt::LeftButton, {}, QPoint(border, 5));
        QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, QPoint(border, 5));
        QCOMPARE(column(g, 0), (Names{"/c", "/b", "/a"}));
    }

    // Two presses under each SortOps.
    void sortOpsDecideTheDirection() {
        const std::pair<TSortOps, const char*> cases[] = {
            {soBoth, "cba abc"}, {soUponly, "abc abc"}, {soDownOnly, "cba cba"}, {soNon, "bca bca"}};
        for (const auto& [ops, expected] : cases) {
            TStrSortGrid g;
            g.SortOps = ops;
            fill(g, {"b", "c", "a"});
            g.show();
            QVERIFY(QTest::qWaitForWindowExposed(&g));
            std::string seen;
            for (const char* gap : {" ", ""}) {
                pressHeader(g, 0);
                for (const auto& t : column(g, 0)) seen += t;
                seen += gap;
            }
            QCOMPARE(seen, std::string(expected));
        }
    }

    // Rows added reach the view in one batch; rows taken away leave it at once; a sort
    // keeps the view's rows. The model stays consistent throughout.
    void rowsReachTheViewInBatches() {
        TStrSortGrid g;
        QAbstractItemModelTester tester(g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        g.setColCount(2);
        g.setRowCount(2);
        QCOMPARE(g.model()->rowCount(), 1);
        for (int r = 1; r <= 500; ++r) {
            g.setRowCount(r + 1);
            g.setRow(r, {std::to_string(1000 - r), "x"});
        }
        QVERIFY(g.model()->rowCount() < 500);
        QTRY_COMPARE(g.model()->rowCount(), 500);
        g.SortRows(1, 500, 0, true);
        QCOMPARE(g.model()->index(0, 0).data().toString(), QStringLiteral("500"));
        g.setRowCount(3);
        QCOMPARE(g.model()->rowCount(), 2);
        QCOMPARE(g.Cells(0, 2), std::string("501"));
    }
};

QTEST_MAIN(StrSortGridTest)
#include "StrSortGrid_qtest.moc"

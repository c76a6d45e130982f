// The search against a fake main window over temporary trees: the question and its texts,
// the rows of the hits, row 1 before and without hits, the stop, the results window's way
// back to a cave (names that are not UTF-8 too), and the search beside a copy run.
#include "app/StrSortGrid.h"
#include "app/Unit1.h"
#include "app/Unit4.h"
#include "app/mein.h"
#include "app/search.h"
#include "mein_fixture.h"
#include "support/fakewindow.h"
#include "support/tempdir.h"
#include "ui/msgbox.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

using namespace g3;
using namespace g3test;

namespace {

using Row = std::vector<std::string>;

Row row(const TStrSortGrid& g, int r) {
    Row out;
    for (int c = 0; c < g.ColCount(); ++c) out.push_back(g.Cells(c, r));
    return out;
}

std::string sized(TempDir& t, const std::string& rel, std::uintmax_t size) {
    const std::string p = t.write(rel, "");
    std::filesystem::resize_file(p, size);
    return p;
}

// A fake window whose pump runs `onPump` (with the pump's number, from 1) before each
// folder, and the search made over it.
struct Searching {
    FakeWindow w;
    int pumps = 0;
    std::function<void(int)> onPump;
    std::unique_ptr<SearchController> search;

    explicit Searching(const std::string& curDir) {
        w.curDir = curDir;
        w.bundle.pump = [this] {
            if (onPump) onPump(++pumps);
        };
        search = std::make_unique<SearchController>(w, w, nullptr);
    }
    QToolButton* button() { return w.buttons[ToolSlot::Kensak]; }
    void run(const std::string& mask) {
        w.typed.push_back(mask);
        QTest::mouseClick(button(), Qt::LeftButton);
    }
    TForm4& form() { return *search->Form4(); }
    TStrSortGrid& grid() { return *form().StrSortGrid1; }
    QString picture() { return search->findChild<QAction*>("tbtnKensak")->icon().name(); }
};

void clickCell(TStrSortGrid& g, int row, int col) {
    g.scrollTo(g.model()->index(row - 1, col));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {},
                      g.visualRect(g.model()->index(row - 1, col)).center());
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The program's own pictures, whose names say which one a button shows.
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName(QStringLiteral("g3-no-such-theme"));
    }

    // *.jpg below a folder: the question's texts, the caption, one row per hit with its
    // exact texts, in the scanner's order; row 1 says it is searching until the first hit.
    void hitsBecomeRowsOfExactTexts() {
        TempDir t;
        sized(t, "photos/big.jpg", 1234567);
        sized(t, "photos/c.txt", 1);
        sized(t, "photos/x.JPG", 3);
        sized(t, "photos/sub/a.jpg", 0);
        Searching s(t.path("photos"));
        Row firstRow;
        QString pictureDuring;
        s.onPump = [&](int n) {
            if (n != 1) return;
            firstRow = row(s.grid(), 1);
            pictureDuring = s.picture();
        };
        s.run("*.jpg");
        QCOMPARE(s.w.asked.size(), std::size_t(1));
        QCOMPARE(s.w.asked[0].caption, std::string("現在の洞窟以下の家を探します"));
        QCOMPARE(s.w.asked[0].prompt, std::string("探したい家の表札名を入力してね。\r\n"
                                                  "例:abc.txt  xyz.*  a??c  *.jpgのようにワイルドカードも使えるよ"));
        QCOMPARE(s.w.asked[0].okCaption, std::string("検索"));
        QCOMPARE(firstRow, (Row{"", "", SearchController::kSearching, ""}));
        QCOMPARE(pictureDuring, QStringLiteral("stop"));
        QCOMPARE(s.picture(), QStringLiteral("search"));
        QCOMPARE(s.form().windowTitle(), QStringLiteral("Grottan3 家の検索結果(*.jpg)"));
        QVERIFY(s.form().isVisible());
        TStrSortGrid& g = s.grid();
        QCOMPARE(g.RowCount(), 4);
        const std::string photos = t.path("photos");
        QCOMPARE(row(g, 1), (Row{"        1", photos, "big.jpg", std::string(11, ' ') + "1,234,567"}));
        QCOMPARE(row(g, 2), (Row{"        2", photos, "x.JPG", std::string(19, ' ') + "3"}));
        QCOMPARE(row(g, 3), (Row{"        3", photos + "/sub", "a.jpg", std::string(19, ' ') + "0"}));
        QCOMPARE(g.model()->rowCount(), 3);

        // The next search reuses the window; without a hit row 1 says so.
        TForm4* window = s.search->Form4();
        s.run("*.none");
        QCOMPARE(s.search->Form4(), window);
        QCOMPARE(g.RowCount(), 2);
        QCOMPARE(row(g, 1), (Row{"", "", SearchController::kNoneFound, ""}));
    }

    // An empty pattern: the message, then the question again; Cancel ends it quietly.
    void anEmptyPatternAsksAgain() {
        TempDir t;
        Searching s(t.path());
        s.w.typed = {"", std::nullopt};
        QTest::mouseClick(s.button(), Qt::LeftButton);
        QCOMPARE(s.w.asked.size(), std::size_t(2));
        QCOMPARE(s.w.doubles.seen.size(), std::size_t(1));
        const MessageRequest& m = s.w.doubles.seen[0];
        QCOMPARE(m.text, QStringLiteral("検索ワードが空欄では家を探せません\n\r探したい家の表札名を何か入力してね"));
        QCOMPARE(m.kind, MsgKind::Information);
        QCOMPARE(m.buttons, MsgButtons(mbOK));
        QVERIFY(!s.search->Form4());
    }

    // A second press on the button during a long walk, or the main window closing, stops
    // it at the next folder; the rows found stay.
    void aStopKeepsTheRowsFound_data() {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("button") << false;
        QTest::newRow("main window closes") << true;
    }
    void aStopKeepsTheRowsFound() {
        QFETCH(bool, byClosing);
        TempDir t;
        for (int d = 0; d < 30; ++d) sized(t, "d" + std::to_string(10 + d) + "/f.jpg", 1);
        Searching s(t.path());
        s.w.owner.show();
        // Pump 1 comes before the start folder, pump n before folder d(8 + n).
        s.onPump = [&](int n) {
            if (n != 5) return;
            if (byClosing)
                s.w.owner.close();
            else
                QTest::mouseClick(s.button(), Qt::LeftButton);
        };
        s.run("*.jpg");
        QCOMPARE(s.search->hitCount(), 3);
        QCOMPARE(s.grid().RowCount(), 4);
        QCOMPARE(row(s.grid(), 3), (Row{"        3", t.path("d12"), "f.jpg", std::string(19, ' ') + "1"}));
        QVERIFY(!s.search->TreeScanner1().SearchInProgress());
        QCOMPARE(s.picture(), QStringLiteral("search"));
    }

    // A selected row's cave goes to Edit1, readable whatever its bytes; BitBtn1, Enter and
    // a double click show it in the main window by its exact bytes while it exists, and do
    // nothing once it has gone or for the help text.
    void theSelectedCaveOpensInTheMainWindow() {
        TempDir t;
        const std::string odd = t.path("bad\xff\xfe");
        sized(t, "a/n\xe9.jpg", 1);
        sized(t, "bad\xff\xfe/two.jpg", 1);
        Searching s(t.path());
        s.run("*.jpg");
        TForm4& f = s.form();
        TStrSortGrid& g = s.grid();
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton); // the help text
        QCOMPARE(g.model()->index(0, 2).data().toString(), QStringLiteral("n\uFFFD.jpg"));
        clickCell(g, 2, 2);
        QCOMPARE(f.Edit1->text(), QString::fromStdString(t.path("bad")) + QStringLiteral("\uFFFD\uFFFD"));
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
        QCOMPARE(s.w.curDir, odd);
        QCOMPARE(s.w.calls, std::vector<std::string>{"raise"});
        // A double click as it comes: press, release, double click, release.
        const QPoint first = g.visualRect(g.model()->index(0, 3)).center();
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, first);
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(s.w.curDir, t.path("a"));
        clickCell(g, 2, 0);
        QTest::keyClick(&g, Qt::Key_Return);
        QCOMPARE(s.w.curDir, odd);

        removeTree(odd);
        s.w.curDir = "/";
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
        QTest::keyClick(&g, Qt::Key_Return);
        QCOMPARE(s.w.curDir, std::string("/"));
        QCOMPARE(s.w.calls.size(), std::size_t(3));
    }

    // A search is refused while a copy or move run lasts; one already running can still be
    // stopped, and the button is off once it has ended if the run still lasts.
    void notBesideACopyRun() {
        TempDir t;
        for (int d = 0; d < 5; ++d) sized(t, "d" + std::to_string(d) + "/f.jpg", 1);
        Searching s(t.path());
        s.search->onRunState(true);
        QVERIFY(!s.button()->isEnabled());
        s.run("*.jpg");
        QVERIFY(s.w.asked.empty());
        s.search->onRunState(false);
        bool enabledDuringRun = false;
        s.onPump = [&](int n) {
            if (n != 2) return;
            s.search->onRunState(true);
            enabledDuringRun = s.button()->isEnabled();
        };
        s.w.typed.clear();
        s.run("*.jpg");
        QVERIFY(enabledDuringRun);
        QCOMPARE(s.search->hitCount(), 5);
        QVERIFY(!s.button()->isEnabled());
    }

    // The main window's input dialog: the command's texts, the line break of the prompt,
    // and the typed text kept for the next question.
    void theWindowAsksThroughItsOneInputDialog() {
        Folders f;
        TForm1 form(quietServices().services());
        QVERIFY(form.toolButton("tbtnKensak")->isEnabled());
        const InputRequest req{"題", "一行目\r\n二行目", "検索"};
        QStringList seen;
        QTimer::singleShot(0, &form, [&] {
            TPasswordDlg* d = &form.PasswordDlg();
            seen << d->windowTitle() << d->Label1->text() << d->OKBtn->text();
            d->Password->setText(QStringLiteral("*.jpg"));
            d->OKBtn->click();
        });
        std::string text;
        QVERIFY(form.askInput(req, text));
        QCOMPARE(text, std::string("*.jpg"));
        QCOMPARE(seen, (QStringList{"題", "一行目\n二行目", "検索"}));
        QCOMPARE(form.PasswordDlg().Password->text(), QStringLiteral("*.jpg"));
        // The busy rule: while it shows, a second question only raises it.
        form.PasswordDlg().show();
        QVERIFY(!form.askInput(req, text));
        form.PasswordDlg().hide();
    }

    // The window after a press on the house header, with G3_SHOTS also as a picture.
    void resultsWindowAsSeen() {
        TempDir t;
        const char* const names[] = {"夕焼け.jpg", "桜.jpg", "abc.jpg", "ABD.jpg", "山.jpg", "海辺.jpg"};
        for (int i = 0; i < 6; ++i)
            sized(t, std::string(i < 2 ? "旅行/京都/" : i < 4 ? "旅行/北海道/" : "家族/") + names[i], 37000u * (i + 1) * (i + 1));
        Searching s(t.path());
        s.run("*.jpg");
        TStrSortGrid& g = s.grid();
        QCOMPARE(row(g, 0), (Row{"No", "洞窟", "家", "大きさ"}));
        QVERIFY(QTest::qWaitForWindowExposed(&s.form()));
        QHeaderView* h = g.horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(2) + 150, 8));
        QCOMPARE(g.Cells(2, 1), std::string("海辺.jpg")); // bytes E6 B5 B7 sort last
        clickCell(g, 2, 2);
        if (qEnvironmentVariableIsSet("G3_SHOTS")) {
            QDir().mkpath(QStringLiteral("/tmp/shots"));
            s.form().grab().save(QStringLiteral("/tmp/shots/search_results.png"));
        }
    }
};

QTEST_MAIN(SearchTest)
#include "search_qtest.moc"

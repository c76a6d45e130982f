// Quick view through its button on a real window: the window and hot tracking switched on
// and off, and each page following the list: a picture, text in UTF-8 and CP932, a long
// text, caves and vanished houses, two rows selected, and a sound made by the test with
// ffmpeg played and stopped.
#include "app/Unit5.h"
#include "app/mein.h"
#include "app/quickview.h"
#include "imgpreview/ImgBox.h"
#include "mein_fixture.h"
#include "shellviews/FileView.h"

#include <QAbstractItemView>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

using namespace g3;
using g3test::Boxes;
using g3test::Folders;

namespace {

// With G3_SHOTS=FOLDER, the screen (on a display) or the window is saved there as NAME.png.
void shot(QWidget* w, const char* name) {
    if (!qEnvironmentVariableIsSet("G3_SHOTS")) return;
    const QString file = QStringLiteral("%1/%2.png").arg(qEnvironmentVariable("G3_SHOTS"), QLatin1String(name));
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        std::system(("import -window root '" + file.toStdString() + "'").c_str());
    else
        w->grab().save(file);
}

// A window on a cave of the test's own with houses of every kind in it.
struct Window {
    Folders f;
    Boxes boxes;
    TForm1 form{boxes.services()};
    std::string cave = f.scratch("cave");

    Window() {
        ::mkdir(cave.c_str(), 0755);
        ::mkdir(at("sub").c_str(), 0755);
        QImage picture(640, 480, QImage::Format_RGB888);
        picture.fill(QColor(30, 120, 200));
        picture.save(QString::fromStdString(at("photo.jpg")), "JPG");
        f.write(at("utf8.txt"), "一行目\r\n二行目\n");
        f.write(at("sjis.txt"), "\x93\xfa\x96\x7b\x8c\xea\r\n"); // 日本語 in CP932
        f.write(at("notes.txt"), "notes");
        form.resize(900, 600);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(form.navigateTo(cave));
    }
    std::string at(const std::string& name) const { return joinPath(cave, name); }
    QuickViewController& quick() { return form.quickView(); }
    TForm5* form5() { return quick().Form5(); }
    QToolButton* button() { return form.buttonOf(ToolSlot::Quick); }
    void click() { button()->click(); }
    QAbstractItemView* view() const { return form.ShellListView1()->itemView(); }
    int rowOf(const std::string& name) {
        form.treeRefresh();
        const std::vector<std::string> rows = form.listRowNames();
        const auto it = std::find(rows.begin(), rows.end(), name);
        if (it == rows.end()) qFatal("no row %s", name.c_str());
        return int(it - rows.begin());
    }
    // The pointer moves over the row: hot tracking selects it.
    void hover(const std::string& name) { hoverRow(rowOf(name)); }
    void hoverRow(int row) {
        const QModelIndex i = view()->model()->index(row, 0);
        const QPoint p = view()->visualRect(i).center();
        QMouseEvent move(QEvent::MouseMove, p, view()->viewport()->mapToGlobal(p), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view()->viewport(), &move);
    }
    void page(int index) { form5()->PageControl1->setCurrentIndex(index); }
};

// A picture with something to see in it.
void drawPicture(const std::string& path) {
    QImage picture(1200, 800, QImage::Format_RGB888);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 0, 800);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(240, 200, 120));
    p.fillRect(picture.rect(), sky);
    p.setBrush(QColor(250, 240, 180));
    p.drawEllipse(QPoint(900, 250), 120, 120);
    p.setBrush(QColor(60, 50, 40));
    p.drawPolygon(QPolygon({QPoint(0, 800), QPoint(350, 380), QPoint(700, 800)}));
    p.end();
    picture.save(QString::fromStdString(path), "JPG");
}

// A three-second tone made with ffmpeg; empty when ffmpeg is not there.
std::string makeSound(const std::string& path) {
    const std::string cmd = "ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=3 '" + path + "'";
    return std::system(cmd.c_str()) == 0 ? path : std::string();
}

} // namespace

class QuickViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QT_MEDIA_BACKEND", "gstreamer"); }

    void switchesOnAndOff() {
        Window w;
        QVERIFY(w.button()->isCheckable());
        QCOMPARE(w.button()->toolTip(), QStringLiteral("クイックビュー(ON/OFF)"));
        QVERIFY(!w.form5());
        w.click();
        QVERIFY(w.quick().on());
        TForm5* q = w.form5();
        QVERIFY(q && q->isVisible());
        QCOMPARE(q->windowTitle(), QStringLiteral("クイックビュー"));
        QVERIFY(q->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(q->pageIndex(), int(TForm5::tbsMemo));
        QVERIFY(!q->ImgBoxmau->isVisible() && !q->Memo1->isVisible());

        // Hot tracking: the row under the pointer is selected at once and shown.
        w.hover("notes.txt");
        QCOMPARE(w.form.ShellListView1()->GetSelectedPath(), w.at("notes.txt"));
        QCOMPARE(q->windowTitle(), QStringLiteral("notes.txt"));
        QCOMPARE(q->Memo1->toPlainText(), QStringLiteral("notes"));

        w.click();
        QVERIFY(!w.quick().on());
        QVERIFY(!q->isVisible());
        w.hover("utf8.txt"); // no hot tracking any more
        QCOMPARE(w.form.ShellListView1()->GetSelectedPath(), w.at("notes.txt"));

        // Closed from outside (the window manager's close): quick view goes off with it.
        w.click();
        QVERIFY(q->isVisible());
        q->close();
        QVERIFY(!w.button()->isChecked());
        w.hover("utf8.txt");
        QCOMPARE(w.form.ShellListView1()->GetSelectedPath(), w.at("notes.txt"));

        // The main window's close releases the button and hides the quick view.
        w.click();
        QVERIFY(q->isVisible());
        w.form.close();
        QVERIFY(!w.button()->isChecked());
        QVERIFY(!q->isVisible());
    }

    void imagePageShowsThePicture() {
        Window w;
        w.click();
        TForm5* q = w.form5();
        w.page(TForm5::tbsImage);
        w.hover("photo.jpg");
        QCOMPARE(q->windowTitle(), QStringLiteral("photo.jpg"));
        QVERIFY(q->ImgBoxmau->isVisible());
        QTRY_COMPARE(q->ImgBoxmau->ShownFile(), w.at("photo.jpg"));
        QVERIFY(q->ImgBoxmau->HasImage());
        QCOMPARE(q->ImgBoxmau->SizeType(), ispStretch);
        // Stretched into the page: one side of the client is filled.
        const QRect client = q->ImgBoxmau->clientRect();
        const QRect r = q->ImgBoxmau->ImageRect();
        QVERIFY(r.width() == client.width() || r.height() == client.height());

        // A cave hides the box; so does a house that vanished.
        w.hover("sub");
        QCOMPARE(q->windowTitle(), QStringLiteral("sub"));
        QVERIFY(!q->ImgBoxmau->isVisible());
        w.hover("photo.jpg");
        QVERIFY(q->ImgBoxmau->isVisible());
        const int notes = w.rowOf("notes.txt");
        std::remove(w.at("notes.txt").c_str());
        w.hoverRow(notes);
        QCOMPARE(q->windowTitle(), QStringLiteral("notes.txt"));
        QVERIFY(!q->ImgBoxmau->isVisible());
        w.hover("utf8.txt");
        QVERIFY(q->ImgBoxmau->isVisible());

        // Two rows selected: nothing changes.
        QItemSelectionModel* sel = w.view()->selectionModel();
        sel->select(w.view()->model()->index(w.rowOf("photo.jpg"), 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(q->windowTitle(), QStringLiteral("utf8.txt"));
    }

    void memoPageReadsUtf8AndCp932_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8, CR LF and LF") << "utf8.txt" << QStringLiteral("一行目\n二行目\n");
        QTest::newRow("CP932") << "sjis.txt" << QStringLiteral("日本語\n");
    }
    void memoPageReadsUtf8AndCp932() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Window w;
        w.click();
        w.hover(name.toStdString());
        QVERIFY(w.form5()->Memo1->isVisible());
        QCOMPARE(w.form5()->Memo1->toPlainText(), text);
        QVERIFY(!w.form5()->Memo1->isReadOnly());
    }

    // A long house: only the head is read, a UTF-8 character the limit cuts is left out
    // (so the text stays UTF-8), and the memo says the rest is not shown.
    void memoShowsTheHeadOfALongHouse() {
        Folders f;
        const std::string path = f.scratch("long.txt");
        std::string bytes(TForm5::kMemoBytes - 1, 'a');
        bytes += "日本"; // the limit falls inside 日
        f.write(path, bytes);
        const QString text = TForm5::memoText(path);
        QVERIFY(text.startsWith(QStringLiteral("aaaa")));
        QVERIFY(!text.contains(QChar(0xFFFD)));
        QVERIFY(text.contains(QStringLiteral("はじめの4MiBだけ")));
        // The one long line is broken after every kMemoLine characters.
        QCOMPARE(text.indexOf(QLatin1Char('\n')), TForm5::kMemoLine);
        QCOMPARE(text.indexOf(QLatin1Char('\n'), TForm5::kMemoLine + 1), 2 * TForm5::kMemoLine + 1);
        // The memo takes it in pieces, between which the event loop runs; a newer house
        // takes the memo over.
        TForm5 q;
        q.showText(path);
        QVERIFY(q.fillingMemo());
        QTRY_VERIFY_WITH_TIMEOUT(!q.fillingMemo(), 60000);
        QCOMPARE(q.Memo1->toPlainText(), text);
        const std::string small = f.scratch("small.txt");
        f.write(small, "small");
        q.showText(path);
        q.hideBoxes(); // a cave under the pointer: the rest is not wanted
        QVERIFY(!q.fillingMemo());
        q.showText(path);
        q.showText(small);
        QVERIFY(!q.fillingMemo());
        QTest::qWait(20);
        QCOMPARE(q.Memo1->toPlainText(), QStringLiteral("small"));

        // Exactly the limit: all of it (and the breaks), no note.
        f.write(path, std::string(TForm5::kMemoBytes, 'b'));
        QCOMPARE(TForm5::memoText(path).size(),
                 qsizetype(TForm5::kMemoBytes + TForm5::kMemoBytes / TForm5::kMemoLine - 1));
    }

    void mediaPagePlaysAndStops() {
        Window w;
        const std::string song = makeSound(w.at("song.WAV"));
        if (song.empty()) QSKIP("ffmpeg is not there to make the sound");
        QVERIFY(TForm5::isMediaFile("x.MP3") && TForm5::isMediaFile("x.mpeg") && !TForm5::isMediaFile("x.txt"));
        w.click();
        TForm5* q = w.form5();
        w.page(TForm5::tbsMedia);
        w.hover("song.WAV");
        QVERIFY(q->mediaSurface());
        QTRY_COMPARE_WITH_TIMEOUT(q->player()->playbackState(), QMediaPlayer::PlayingState, 30000);
        QCOMPARE(q->player()->source().toLocalFile().toStdString(), song);
        QTRY_VERIFY_WITH_TIMEOUT(q->player()->position() > 0, 10000); // it runs, to a sink or to none

        // Another kind of house on the same page leaves the song playing.
        w.hover("notes.txt");
        QCOMPARE(q->windowTitle(), QStringLiteral("notes.txt"));
        QCOMPARE(q->player()->playbackState(), QMediaPlayer::PlayingState);

        // Switching quick view off stops it and hides the window.
        w.click();
        QCOMPARE(q->player()->playbackState(), QMediaPlayer::StoppedState);
        QVERIFY(!q->isVisible());

        // A house that is no media the player can read shows nothing and plays nothing.
        w.f.write(w.at("broken.mp3"), "not a sound");
        w.click();
        w.hover("broken.mp3");
        QTRY_VERIFY_WITH_TIMEOUT(!q->mediaSurface(), 10000);
        QVERIFY(q->player()->playbackState() != QMediaPlayer::PlayingState);
    }

    // With G3_SHOTS, the three pages as a user sees them: a picture, a Japanese text and a
    // video playing.
    void screenshots() {
        if (!qEnvironmentVariableIsSet("G3_SHOTS")) QSKIP("G3_SHOTS names no folder for the pictures");
        Window w;
        drawPicture(w.at("夕焼け.jpg"));
        w.f.write(w.at("洞窟日記.txt"), "洞窟日記\n\n今日は新しい洞窟を掘った。\n奥に家を一軒建て増した。\n"
                                         "表札は「山田」。\n\n明日は引っ越しの予定。\n");
        const std::string movie = w.at("movie.avi");
        const std::string cmd = "ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=20:size=320x240:rate=25 "
                                "-c:v mpeg4 '" + movie + "'";
        QVERIFY(std::system(cmd.c_str()) == 0);
        w.click();
        TForm5* q = w.form5();
        QVERIFY(QTest::qWaitForWindowExposed(q));
        w.page(TForm5::tbsImage);
        w.hover("夕焼け.jpg");
        QTRY_VERIFY(q->ImgBoxmau->HasImage());
        QTest::qWait(300);
        shot(q, "quickview-image");
        w.page(TForm5::tbsMemo);
        w.hover("洞窟日記.txt");
        QTest::qWait(300);
        shot(q, "quickview-memo");
        w.page(TForm5::tbsMedia);
        w.hover("movie.avi");
        QTRY_VERIFY_WITH_TIMEOUT(q->player()->position() > 1500, 30000);
        shot(q, "quickview-media");
    }
};

QTEST_MAIN(QuickViewTest)
#include "quickview_qtest.moc"

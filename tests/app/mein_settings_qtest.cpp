// The main window's start and close: data.ini and memo.ini, their defaults, the
// off-screen correction and the failures of writing them.
#include "app/mein.h"
#include "app/navigation.h"
#include "app/settings.h"
#include "app/tabstrip.h"
#include "mein_fixture.h"
#include "platform/profile.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QToolButton>

#include <filesystem>

using namespace g3;
using g3test::Boxes;
using g3test::Folders;

class MeinSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutDataIni() {
        Folders f;
        TForm1 form(g3test::quietServices().services());
        QCOMPARE(form.pos(), QPoint(50, 50));
        QCOMPARE(form.size(), QSize(320, 240));
        QCOMPARE(form.layoutMode(), 0);
        QCOMPARE(form.listStyleCode(), 1);
        for (int i = 0; i < 4; ++i) QCOMPARE(form.listColumnWidth(i), i == 0 ? 100 : 70);
        QCOMPARE(form.CurDir(), std::string("/"));
        QCOMPARE(form.windowTitle(), QStringLiteral("/"));
        QCOMPARE(form.TabControl1()->count(), 0);
        QCOMPARE(form.myColBan(), 0);
        QVERIFY(form.pmenuSort()->actions()[0]->isChecked());
        QCOMPARE(form.dllFolder().back(), '/');
        QVERIFY(form.dllFolder().ends_with("/DLL/"));
    }

    void closeWritesEveryKeyAndKeepsOthers() {
        Folders f;
        f.write(f.config("data.ini"), "[Other]\nkeep=1\n[fileVstyle]\nban=7\n");
        {
            TForm1 form(g3test::quietServices().services());
            QCOMPARE(form.listStyleCode(), 4); // 7 is no style: details
            form.show();
            form.close();
        }
        ProfileFile ini(f.config("data.ini"));
        QCOMPARE(ini.readInteger("fileVstyle", "ban", 0), 4);
        QCOMPARE(ini.readInteger("other", "KEEP", 0), 1);
        QCOMPARE(ini.readInteger("form", "left", 0), 50);
        QCOMPARE(ini.readInteger("form", "width", 0), 320);
        QCOMPARE(ini.readInteger("fileVhaba", "haba0", 0), 100);
        QCOMPARE(ini.readString("Folder", "Path"), std::string("/"));
        QCOMPARE(ini.readInteger("sutairu", "tateyoko", -1), 0);
    }

    void stackedLayoutWrittenAndRestored() {
        Folders f;
        {
            TForm1 form(g3test::quietServices().services());
            form.show();
            form.toolButton(QStringLiteral("tbtnTateYoko"))->click();
            QCOMPARE(form.layoutMode(), 1);
            form.close();
        }
        QCOMPARE(ProfileFile(f.config("data.ini")).readInteger("sutairu", "tateyoko", -1), 1);
        TForm1 again(g3test::quietServices().services());
        again.show();
        QCOMPARE(again.layoutMode(), 1);
        // Stacked: the tree panel spans the width above the list.
        QCOMPARE(again.paneTree()->width(), again.centralWidget()->width());
        QCOMPARE(again.paneTree()->y(), 0);
    }

    void offScreenCorrection_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QPoint>("expected");
        const QList<QRect> one{QRect(0, 0, 1920, 1080)};
        const QList<QRect> two{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QTest::newRow("right edge past one screen")
            << QRect(1800, 100, 400, 300) << one << QPoint(50, 100);
        QTest::newRow("fits") << QRect(100, 100, 400, 300) << one << QPoint(100, 100);
        QTest::newRow("bottom past the smaller height")
            << QRect(10, 100, 400, 1000) << two << QPoint(10, 50);
        QTest::newRow("wide across both screens stays")
            << QRect(2000, 10, 800, 300) << two << QPoint(2000, 10);
        QTest::newRow("just past the sum of widths")
            << QRect(2401, 10, 800, 300) << two << QPoint(50, 10);
        QTest::newRow("left of the screens is not moved")
            << QRect(-300, -200, 400, 300) << one << QPoint(-300, -200);
    }
    void offScreenCorrection() {
        QFETCH(QRect, window);
        QFETCH(QList<QRect>, screens);
        QFETCH(QPoint, expected);
        const QRect r = correctOffScreen(window, std::vector<QRect>(screens.begin(), screens.end()));
        QCOMPARE(r.topLeft(), expected);
        QCOMPARE(r.size(), window.size());
    }

    void offScreenWindowIsMovedBack() {
        Folders f; // the offscreen platform has one screen of 800 x 600
        f.write(f.config("data.ini"), "[form]\nleft=1800\ntop=60\nwidth=400\nheight=200\n");
        TForm1 form(g3test::quietServices().services());
        QCOMPARE(form.pos(), QPoint(50, 60));
        QCOMPARE(form.size(), QSize(400, 200));
    }

    // A size stored at a smaller scale factor does not run past the screen.
    void oversizedWindowIsCutToTheScreen() {
        Folders f; // the offscreen platform has one screen of 800 x 600
        f.write(f.config("data.ini"), "[form]\nleft=10\ntop=20\nwidth=1600\nheight=1200\n");
        TForm1 form(g3test::quietServices().services());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(form.size(), available.size());
        QCOMPARE(fitSizeInto(QRect(0, 0, 300, 200), available), QRect(0, 0, 300, 200));
    }

    void memoLinesBecomeTabs() {
        Folders f;
        const std::string photos = f.scratch("photos");
        std::filesystem::create_directory(photos);
        f.write(f.config("memo.ini"), photos + "\r\n/\r\n");
        TForm1 form(g3test::quietServices().services());
        QCOMPARE(form.TabControl1()->count(), 2);
        QCOMPARE(form.TabControl1()->tabText(0), QStringLiteral("photos"));
        QCOMPARE(form.TabControl1()->tabText(1), QStringLiteral("/"));
        QCOMPARE(form.TabControl1()->tabIndex(), -1);
        QCOMPARE(form.navigation().favouritePaths()[0], photos);
    }

    void memoFromWindowsLoads() {
        Folders f;
        // "写真" in CP932, as a memo.ini written on Windows holds it.
        f.write(f.config("memo.ini"), "/data/\x8e\xca\x90\x5e\r\n");
        TForm1 form(g3test::quietServices().services());
        QCOMPARE(form.TabControl1()->count(), 1);
        QCOMPARE(form.TabControl1()->tabText(0), QStringLiteral("写真"));
        QCOMPARE(form.navigation().favouritePaths()[0], std::string("/data/写真"));
    }

    void tabSetSavedOnlyOnRequest() {
        Folders f;
        {
            TForm1 form(g3test::quietServices().services());
            form.navigation().SpeedButton1Click();
            form.show();
            form.close();
        }
        QVERIFY(!std::filesystem::exists(f.config("memo.ini")));
        {
            TForm1 form(g3test::quietServices().services());
            QCOMPARE(form.TabControl1()->count(), 0);
            form.navigation().SpeedButton1Click();
            form.navigation().SpeedButton1Click(); // the same folder twice is allowed
            form.navigation().SpeedButton2Click();
        }
        QCOMPARE(f.read(f.config("memo.ini")), std::string("/\r\n/\r\n"));
        TForm1 form(g3test::quietServices().services());
        QCOMPARE(form.TabControl1()->count(), 2);
    }

    void failedWritesAreReported() {
        Folders f;
        Boxes boxes;
        // A folder where a file should be: neither file can be replaced.
        std::filesystem::create_directory(f.config("data.ini"));
        std::filesystem::create_directory(f.config("memo.ini"));
        TForm1 form(boxes.services());
        form.show();
        form.navigation().SpeedButton2Click();
        QCOMPARE(boxes.seen.size(), size_t(1));
        QCOMPARE(boxes.seen[0].text,
                 QString::fromStdString("ファイル " + f.config("memo.ini") + " を作成できません"));
        QVERIFY(form.close()); // the window closes all the same
        QCOMPARE(boxes.seen.size(), size_t(2));
        QCOMPARE(boxes.seen[1].text, QString::fromStdString(f.config("data.ini") + " に書き込めません"));
    }

    // A folder name with a line break cannot stand on one line of either file: it is not
    // kept, and nothing else breaks.
    void folderNamesWithLineBreaksAreNotStored() {
        Folders f;
        writeDataIni(f.config("data.ini"), FormSettings{}, "/tmp/a\r\n[form]\r\nleft=9");
        ProfileFile ini(f.config("data.ini"));
        QCOMPARE(ini.readString("Folder", "Path", "?"), std::string());
        QCOMPARE(ini.readInteger("form", "left", -1), FormSettings{}.left);
        writeMemoIni(f.config("memo.ini"), {"/a", "/b\nc", "/d"});
        QCOMPARE(readMemoIni(f.config("memo.ini")), (std::vector<std::string>{"/a", "/d"}));
    }

    void readMemoRules() {
        Folders f;
        f.write(f.config("m"), "/a\n/b\r\n\r\n/c");
        QCOMPARE(readMemoIni(f.config("m")), (std::vector<std::string>{"/a", "/b", "", "/c"}));
        QVERIFY(readMemoIni(f.config("missing")).empty());
        f.write(f.config("empty"), "");
        QVERIFY(readMemoIni(f.config("empty")).empty());
        QCOMPARE(tabCaption("/"), std::string("/"));
        QCOMPARE(tabCaption("/usr/share"), std::string("share"));
        QCOMPARE(tabCaption("relative"), std::string("relative"));
    }
};

QTEST_MAIN(MeinSettingsTest)
#include "mein_settings_qtest.moc"

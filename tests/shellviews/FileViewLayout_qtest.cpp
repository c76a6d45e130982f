// How the file list lays its rows out in each view style: every row visible in a view
// large enough, no two rows on top of each other, captions shown whole where the style
// does not wrap them, and the flow of each style. G3_SHOT_DIR, when set, receives a
// picture of each style.
#include "shellviews/FileView.h"

#include "shellviews/shelltemp.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace g3;
using g3test::writeFile;
using g3test::makeFolders;

namespace {

const char* styleName(TViewStyle s) {
    switch (s) {
    case vsIcon: return "icon";
    case vsSmallIcon: return "smallicon";
    case vsList: return "list";
    case vsReport: return "report";
    }
    return "";
}

// A folder of a few files of different kinds, two subfolders and a link.
struct MixedFolder {
    g3test::TempDir t;
    MixedFolder() {
        makeFolders(t / "docs");
        makeFolders(t / "music");
        writeFile(t / "readme.txt", "hello\n");
        writeFile(t / "photo.jpg", std::string(3000, 'x'));
        writeFile(t / "build.sh", "#!/bin/sh\n");
        chmod((t / "build.sh").c_str(), 0755);
        writeFile(t / "backup.tar.gz", std::string(123456, 'z'));
        writeFile(t / "a rather long name of a report.pdf", "%PDF");
        writeFile(t / "notes.md", "# notes");
        symlink("readme.txt", (t / "readme link").c_str());
    }
};

class FileViewLayoutTest : public QObject {
    Q_OBJECT

    static void show(TFileView& v, const MixedFolder& f, TViewStyle s) {
        v.resize(500, 300);
        v.setGridLines(true);
        v.setRowSelect(true);
        v.show();
        v.ShowFolder(g3test::parsedPath(f.t.path()));
        v.setViewStyle(s);
        QCoreApplication::processEvents();
    }

    static QRect rowRect(TFileView& v, int row) {
        return v.itemView()->visualRect(v.model()->index(row, 0));
    }

private slots:
    void everyStyleShowsAllRowsApart_data() {
        QTest::addColumn<int>("style");
        for (TViewStyle s : {vsIcon, vsSmallIcon, vsList, vsReport}) QTest::newRow(styleName(s)) << int(s);
    }
    void everyStyleShowsAllRowsApart() {
        QFETCH(int, style);
        const auto s = static_cast<TViewStyle>(style);
        MixedFolder f;
        TFileView v;
        show(v, f, s);
        const int rows = v.model()->rowCount();
        QCOMPARE(rows, 9);
        const QRect viewport = v.itemView()->viewport()->rect();
        const QFontMetrics fm = v.itemView()->fontMetrics();
        for (int r = 0; r < rows; ++r) {
            const QRect a = rowRect(v, r);
            QVERIFY2(viewport.contains(a), qPrintable(QStringLiteral("row %1 outside").arg(r)));
            for (int o = r + 1; o < rows; ++o)
                QVERIFY2(!a.intersects(rowRect(v, o)), qPrintable(QStringLiteral("rows %1 and %2 overlap").arg(r).arg(o)));
            // Large icons wrap their captions; the other styles show them on one line, whole.
            if (s != vsIcon && s != vsReport)
                QVERIFY2(a.width() >= 16 + fm.horizontalAdvance(v.model()->caption(r)),
                         qPrintable(QStringLiteral("caption of row %1 cut").arg(r)));
            if (s == vsIcon) QVERIFY(a.height() >= 32 + fm.height());
        }
        // Folders first, in the folder's order; then how each style flows.
        QCOMPARE(v.model()->caption(0), QStringLiteral("docs"));
        QCOMPARE(v.model()->caption(1), QStringLiteral("music"));
        const QRect first = rowRect(v, 0), second = rowRect(v, 1);
        if (s == vsList || s == vsReport) {
            QCOMPARE(second.left(), first.left());
            QVERIFY(second.top() > first.top());
        } else {
            QCOMPARE(second.top(), first.top());
            QVERIFY(second.left() > first.left());
        }
        if (s == vsList) {
            // Columns: a row that does not fit below the last starts a column on the right.
            int right = -1;
            for (int r = 0; r < rows; ++r) right = std::max(right, rowRect(v, r).left());
            QVERIFY(rows * first.height() <= viewport.height() || right > first.left());
        }
        const QByteArray shots = qgetenv("G3_SHOT_DIR");
        if (!shots.isEmpty())
            v.grab().save(QString::fromUtf8(shots) + QStringLiteral("/fileview_%1.png").arg(styleName(s)));
    }

    // Hovering selects in the icon styles too, and only while hot tracking is on.
    void hoverSelectsInIconStyles() {
        MixedFolder f;
        TFileView v;
        show(v, f, vsIcon);
        QWidget* vp = v.itemView()->viewport();
        const QPoint at = rowRect(v, 3).center();
        QTest::mouseMove(vp, at);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(vp->mapToGlobal(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        QVERIFY(v.selectedRows().empty());
        v.setHotTrack(true);
        QSignalSpy changed(&v, &TFileView::OnChange);
        QApplication::sendEvent(vp, &move);
        QCOMPARE(v.selectedRows(), std::vector<int>{3});
        QVERIFY(!changed.isEmpty());
        QCOMPARE(v.rowAt(at, true), 3);
        QCOMPARE(v.rowAt(QPoint(vp->width() - 2, vp->height() - 2), false), -1);
    }
};

} // namespace

QTEST_MAIN(FileViewLayoutTest)
#include "FileViewLayout_qtest.moc"

// The program's pictures: each draws at the sizes buttons use, its disabled form is grey and
// fainter, and a theme's picture wins only where the theme has one.
#include "ui/programicon.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using g3::programIcon;

namespace {

void setTheme(const QString& name, const QStringList& paths) {
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(name);
}

// Total alpha, or -1 when any pixel has colour.
qint64 greyInk(const QPixmap& pm, bool allowColour) {
    const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    qint64 ink = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (!allowColour && qAlpha(p) && (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)))
                return -1;
            ink += qAlpha(p);
        }
    return ink;
}

} // namespace

class ProgramIconTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setTheme(QStringLiteral("g3-no-such-theme"), {}); }

    void everyPictureDrawsAndGreysOut() {
        for (const QString& name : g3::programIconNames()) {
            const QIcon icon = programIcon(qPrintable(name));
            QCOMPARE(icon.name(), name); // no theme: our own drawing
            for (int side : {16, 18, 24}) {
                const QSize size(side, side);
                const qint64 live = greyInk(icon.pixmap(size, 1.0), true);
                const qint64 grey = greyInk(icon.pixmap(size, 1.0, QIcon::Disabled), false);
                QCOMPARE(icon.pixmap(size, 1.0).size(), size);
                QVERIFY2(live > side * side * 255 / 10, qPrintable(name + " nearly empty"));
                QVERIFY2(grey >= 0 && grey * 2 < live,
                         qPrintable(name + " disabled not grey and faint"));
            }
        }
    }

    void themeWinsOnlyWhereItHasThePicture() {
        QTemporaryDir dir;
        const QString theme = dir.path() + QStringLiteral("/g3test");
        QVERIFY(QDir().mkpath(theme + QStringLiteral("/16x16/actions")));
        QFile index(theme + QStringLiteral("/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nDirectories=16x16/actions\n[16x16/actions]\nSize=16\n");
        index.close();
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(theme + QStringLiteral("/16x16/actions/edit-copy.png")));
        setTheme(QStringLiteral("g3test"), {dir.path()});

        QCOMPARE(programIcon("copy").name(), QStringLiteral("edit-copy"));
        QCOMPARE(programIcon("paste").name(), QStringLiteral("paste")); // the theme lacks it
        QCOMPARE(programIcon("extension").name(), QStringLiteral("extension")); // no theme name
        QCOMPARE(g3::ownIcon("copy").name(), QStringLiteral("copy"));
        QVERIFY(programIcon("no-such-picture").isNull());
        setTheme(QStringLiteral("g3-no-such-theme"), {});
    }
};

QTEST_MAIN(ProgramIconTest)
#include "programicon_qtest.moc"

// The image box on pictures written by the test: construction, both sizing modes with exact
// rectangles, scrolling, resizing while Empty, failed loads, and the decoding thread.
#include "imgpreview/ImgBox.h"
#include "imgtest.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace g3;

namespace {

constexpr QRgb kPicture = 0xFF2060A0;

class Pictures {
public:
    // A one-colour picture of w x h pixels written as `name` (the format by its extension).
    std::string write(const char* name, int w, int h, QRgb rgb = kPicture) const {
        QImage image(w, h, QImage::Format_RGB888);
        image.fill(rgb);
        const QString path = dir_.filePath(QString::fromLatin1(name));
        if (!image.save(path, nullptr, 95)) qFatal("cannot write %s", name);
        return path.toStdString();
    }
    std::string path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)).toStdString(); }

private:
    QTemporaryDir dir_;
};

// A box without a border, so the client area is the whole box.
std::unique_ptr<TImgBox> box(TSizeType sizeType, QSize size) {
    auto b = std::make_unique<TImgBox>();
    b->setBorderStyle(bsNone);
    b->setSizeType(sizeType);
    b->resize(size);
    b->show();
    if (!QTest::qWaitForWindowExposed(b.get())) qFatal("box not shown");
    return b;
}

QColor shownAt(TImgBox& b, QPoint p) { return b.grab().toImage().pixelColor(p); }

} // namespace

class ImgBoxTest : public QObject {
    Q_OBJECT
private slots:
    void constructionDefaults() {
        TImgBox b;
        QCOMPARE(b.size(), QSize(250, 150));
        QCOMPARE(b.Color(), QColor(Qt::white));
        QCOMPARE(b.SizeType(), ispImage);
        QCOMPARE(b.BorderStyle(), bsSingle);
        QCOMPARE(b.ImgUtil().GetType(), igtNormal);
        QVERIFY(!b.HasImage());
        QCOMPARE(b.ImageRect(), QRect(0, 0, 0, 0));
        QVERIFY(!b.HScrollVisible() && !b.VScrollVisible());
        QCOMPARE(b.focusPolicy(), Qt::StrongFocus);
        QVERIFY(b.LineStep() > 0);
    }

    void stretch_data() {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("wide picture, bands above and below") << QSize(445, 404) << QSize(1000, 500)
                                                            << QRect(0, 92, 445, 220);
        QTest::newRow("tall picture, bands beside") << QSize(100, 100) << QSize(50, 200) << QRect(37, 0, 25, 100);
        QTest::newRow("small picture enlarged") << QSize(200, 100) << QSize(20, 10) << QRect(0, 0, 200, 100);
    }
    void stretch() {
        QFETCH(QSize, client);
        QFETCH(QSize, picture);
        QFETCH(QRect, rect);
        Pictures pics;
        auto b = box(ispStretch, client);
        QSignalSpy painted(b.get(), &TCustomImgBox::OnPaint);
        const std::string file = pics.write("p.bmp", picture.width(), picture.height());
        QCOMPARE(b->LoadFile(file), 0);
        QVERIFY(b->HasImage());
        QCOMPARE(b->ShownFile(), file);
        QCOMPARE(b->ImageRect(), rect);
        QVERIFY(!b->HScrollVisible() && !b->VScrollVisible());
        QVERIFY(painted.count() > 0); // the composition paints at once
        const QImage& view = b->ViewBitmap();
        QCOMPARE(view.size(), client);
        QCOMPARE(view.pixel(rect.center()), kPicture);
        if (rect.top() > 0) QCOMPARE(view.pixelColor(rect.left(), rect.top() - 1), QColor(Qt::white));
        if (rect.left() > 0) QCOMPARE(view.pixelColor(rect.left() - 1, rect.top()), QColor(Qt::white));
        QCOMPARE(QColor(shownAt(*b, rect.center())), QColor(kPicture));
        // The loader keeps the picture as it was decoded; a resize composes from it again.
        QCOMPARE(b->ImgUtil().Bitmap.size(), picture);
        b->resize(client * 2);
        QCOMPARE(b->ViewBitmap().size(), client * 2);
    }

    void naturalSizeCentresOrScrolls() {
        Pictures pics;
        auto b = box(ispImage, {300, 200});
        QCOMPARE(b->LoadFile(pics.write("small.bmp", 100, 50)), 0);
        QCOMPARE(b->ImageRect(), QRect(100, 75, 100, 50));
        QVERIFY(!b->HScrollVisible() && !b->VScrollVisible());

        QCOMPARE(b->LoadFile(pics.write("large.bmp", 1000, 800)), 0);
        QVERIFY(b->HScrollVisible() && b->VScrollVisible());
        QCOMPARE(b->ScrollX(), 0);
        QCOMPARE(b->ScrollY(), 0);
        QCOMPARE(b->ScrollMaxY(), 799);
        QCOMPARE(b->ScrollMaxX(), 999);
        const QRect client = b->clientRect();
        QCOMPARE(b->ImageRect(), QRect(QPoint(0, 0), client.size()));
        QCOMPARE(b->verticalBar()->maximum(), 800 - client.height());

        // Page down stops where the last row is the client's last; the end code goes there.
        for (int i = 0; i < 10; ++i) b->scrollMessage(Qt::Vertical, scPageDown);
        QCOMPARE(b->ScrollY(), 800 - client.height());
        b->scrollMessage(Qt::Vertical, scTop);
        QCOMPARE(b->ScrollY(), 0);
        b->scrollMessage(Qt::Horizontal, scBottom);
        QCOMPARE(b->ScrollX(), 1000 - client.width());
        QCOMPARE(b->horizontalBar()->value(), b->ScrollX());

        // The keys and the bars themselves send the same codes.
        b->setFocus();
        QTest::keyClick(b.get(), Qt::Key_End);
        QCOMPARE(b->ScrollY(), 800 - client.height());
        QTest::keyClick(b.get(), Qt::Key_Up);
        QCOMPARE(b->ScrollY(), 800 - client.height() - b->LineStep());
        b->verticalBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(b->ScrollY(), 0);
        QCOMPARE(b->verticalBar()->value(), 0);
        QTRY_COMPARE(QColor(shownAt(*b, {5, 5})), QColor(kPicture));
    }

    void emptyBoxShowsItsColour() {
        Pictures pics;
        auto b = box(ispStretch, {200, 100});
        QCOMPARE(b->LoadFile(pics.write("p.bmp", 40, 20)), 0);
        QCOMPARE(QColor(shownAt(*b, {100, 50})), QColor(kPicture));

        // A missing file: Empty, nothing kept, and the old picture is not shown any more.
        QCOMPARE(b->LoadFile(pics.path("missing.bmp")), 1);
        QVERIFY(!b->HasImage());
        QVERIFY(b->ShownFile().empty());
        QCOMPARE(QColor(shownAt(*b, {100, 50})), QColor(Qt::white));

        // Resizing while Empty composes nothing.
        const QRect before = b->ImageRect();
        b->resize(300, 300);
        QVERIFY(b->ViewBitmap().isNull());
        QCOMPARE(b->ImageRect(), before);

        // A file the decoder refuses is Empty too (the loader's icon is not shown).
        pics.write("p.bmp", 1, 1);
        std::string broken = pics.path("broken.bmp");
        QFile f(QString::fromStdString(broken));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("BM not a bitmap");
        f.close();
        QVERIFY(b->LoadFile(broken) != 0);
        QVERIFY(!b->HasImage());
        QVERIFY(b->ShownFile().empty());
    }

    void sizeTypeChangeComposesAgain() {
        Pictures pics;
        auto b = box(ispImage, {100, 100});
        QCOMPARE(b->LoadFile(pics.write("tall.bmp", 50, 200)), 0);
        QVERIFY(b->VScrollVisible());
        b->setSizeType(ispStretch);
        QCOMPARE(b->ImageRect(), QRect(37, 0, 25, 100));
        QVERIFY(!b->VScrollVisible());
    }

    // The decoding thread: the picture that arrives is the one for the newest request, and
    // it stands where LoadFile would have put it.
    void requestsDecodeOnTheirOwnThread() {
        Pictures pics;
        const std::string big = pics.write("big.jpg", 3000, 2000);
        const std::string small = pics.write("small.bmp", 50, 200, 0xFF00FF00);
        auto sync = box(ispStretch, {445, 404});
        QCOMPARE(sync->LoadFile(big), 0);

        auto b = box(ispStretch, {445, 404});
        b->RequestFile(big);
        QVERIFY(b->Decoding());
        QTRY_VERIFY(!b->Decoding());
        QCOMPARE(b->ShownFile(), big);
        QCOMPARE(b->ImageRect(), sync->ImageRect()); // placed by the file's size, not the reduction's
        QVERIFY(b->ImgUtil().Bitmap.width() < 3000); // no more decoded than the view needs
        QVERIFY(maxDifferenceIn(b->ViewBitmap(), sync->ViewBitmap()) < 8);

        // A newer request overtakes an older one; a LoadFile overtakes both.
        b->RequestFile(big);
        b->RequestFile(small);
        QTRY_VERIFY(!b->Decoding());
        QCOMPARE(b->ShownFile(), small);
        QCOMPARE(b->ImageRect(), QRect(172, 0, 101, 404));
        b->RequestFile(big);
        QCOMPARE(b->LoadFile(small), 0);
        QTest::qWait(300); // long enough for the big one to come back if it were not dropped
        QCOMPARE(b->ShownFile(), small);

        // A house shown as its icon is drawn here; a missing one leaves the box Empty.
        std::string other = pics.path("notes.xyz");
        QFile(QString::fromStdString(other)).open(QIODevice::WriteOnly);
        b->RequestFile(other);
        QTRY_VERIFY(!b->Decoding());
        QVERIFY(b->HasImage());
        QCOMPARE(b->ShownFile(), other);
        b->RequestFile(pics.path("missing.png"));
        QTRY_VERIFY(!b->Decoding());
        QVERIFY(!b->HasImage());

        // Growing past the reduction asks the thread again for a sharper picture.
        b->RequestFile(big);
        QTRY_VERIFY(!b->Decoding());
        const int held = b->ImgUtil().Bitmap.width();
        b->resize(1500, 1000);
        QTRY_VERIFY(!b->Decoding());
        QVERIFY(b->ImgUtil().Bitmap.width() > held);
        QCOMPARE(b->ImgUtil().Bitmap.size(), b->ImageRect().size());
    }

private:
    static int maxDifferenceIn(const QImage& a, const QImage& b) { return g3test::maxDifference(a, b); }
};

QTEST_MAIN(ImgBoxTest)
#include "ImgBox_qtest.moc"

// TImgUtil: its properties, the type decision and what GetImage gives for each kind of path.
#include "imgpreview/ImgUtils.h"
#include "imgpreview/htmlpage.h"

#include "imgtest.h"
#include "support/tempdir.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace g3 {
namespace {

using g3test::sample;

std::string copySample(g3test::TempDir& dir, const std::string& name, const std::string& as) {
    return dir.write(as, g3test::readFile(sample(name)));
}

// The colour in the middle of the bitmap.
QColor middle(const QImage& image) {
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(TImgUtil, StartsWithTheDefaults) {
    TImgUtil u;
    EXPECT_TRUE(u.Bitmap.isNull());
    EXPECT_EQ(u.OrgWidth, 0);
    EXPECT_EQ(u.Performance(), jpBestSpeed);
    EXPECT_EQ(u.TextExt(), "");
    EXPECT_EQ(u.TextExtList(), "");
    EXPECT_EQ(u.ImageType, iitNone);
    EXPECT_EQ(u.GetType(), igtPreview);
    EXPECT_EQ(u.IconCount, 0);
    EXPECT_EQ(u.IconIndex, -1);
    EXPECT_EQ(u.Font().font.pointSize(), 12);
    EXPECT_EQ(u.BKColor(), 0xFFFFFFu);
    EXPECT_EQ(u.AviFramePos(), 20);
    EXPECT_EQ(u.CustomImage, nullptr);
}

TEST(TImgUtil, PropertyWritersKeepTheirRules) {
    TImgUtil u;
    int changes = 0;
    u.OnChange = [&](TImgUtil* sender) {
        EXPECT_EQ(sender, &u);
        ++changes;
    };
    u.setBKColor(0xFFFFFF);
    EXPECT_EQ(changes, 0); // the same value fires nothing
    u.setBKColor(0x0000FF);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(colorOf(u.BKColor()), QColor(255, 0, 0));

    for (int ignored : {-1, 101, 1000})
        u.setAviFramePos(ignored);
    EXPECT_EQ(u.AviFramePos(), 20);
    u.setAviFramePos(0);
    EXPECT_EQ(u.AviFramePos(), 0);
    u.setAviFramePos(100);
    EXPECT_EQ(u.AviFramePos(), 100);

    const struct {
        const char* masks;
        const char* stored;
        const char* list;
    } exts[] = {{"*.LOG;*.ini", "*.log;*.ini", ";.log;.ini;"},
                {";*.Cfg;", ";*.cfg;", ";.cfg;"},
                {"", "", ""}};
    for (const auto& e : exts) {
        u.setTextExt(e.masks);
        EXPECT_EQ(u.TextExt(), e.stored);
        EXPECT_EQ(u.TextExtList(), e.list);
    }
}

TEST(TImgUtil, ClearKeepsTheOriginalSize) {
    TImgUtil u;
    u.ImageType = iitBmp;
    u.IconIndex = 3;
    u.IconCount = 4;
    u.OrgWidth = 10;
    u.OrgHeight = 20;
    u.Bitmap = QImage(5, 5, QImage::Format_RGB888);
    u.Clear();
    EXPECT_EQ(u.ImageType, iitNone);
    EXPECT_EQ(u.IconIndex, -1);
    EXPECT_EQ(u.IconCount, 0);
    EXPECT_TRUE(u.Bitmap.isNull());
    EXPECT_EQ(u.OrgWidth, 10);
    EXPECT_EQ(u.OrgHeight, 20);
}

TEST(CheckImageType, DecidesByHookFolderExtensionAndTextList) {
    g3test::TempDir dir;
    const std::string cave = dir.mkdir("cave");
    const std::string holiday = dir.mkdir("holiday.jpg");
    TImgUtil u;
    u.setTextExt("*.log");
    const struct {
        std::string path;
        TImageType type;
        int result;
    } cases[] = {
        {"a.bmp", iitBmp, 0},       {"a.JPG", iitJpeg, 0},  {"a.jpeg", iitJpeg, 0},
        {"a.ico", iitIco, 0},       {"a.cur", iitCur, 0},   {"a.ani", iitAni, 0},
        {"a.emf", iitEmf, 0},       {"a.WMF", iitWmf, 0},   {"a.exe", iitExe, 0},
        {"a.dll", iitDll, 0},       {"a.html", iitHtml, 0}, {"a.htm", iitHtml, 0},
        {"a.eml", iitEml, 0},       {"a.txt", iitTxt, 0},   {"a.avi", iitAvi, 0},
        {"a.Log", iitTxt, 0},       {"a.lo", iitTxt, 0}, // a plain substring of ";.log;"
        {"a.jpe", iitNone, 3},                           // without the hook
        {"a.", iitNone, 3},         {"README", iitNone, 3}, {"a.tar.gz", iitNone, 3},
        {"/", iitDir, 0},           {cave, iitDir, 0},      {holiday, iitJpeg, 0},
        {dir / "x.d/", iitNone, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(u.CheckImageType(c.path), c.result) << c.path;
        EXPECT_EQ(u.ImageType, c.type) << c.path;
    }
    // The hook comes first, before folders too.
    TImgCustomTest hook;
    u.CustomImage = &hook;
    const std::string pictures = dir.mkdir("pictures.png");
    for (const std::string& p : {std::string("a.PNG"), std::string("b.gif"), std::string("c.jpe"),
                                 std::string("d.pcd"), std::string("e.psd"), pictures}) {
        EXPECT_EQ(u.CheckImageType(p), 0) << p;
        EXPECT_EQ(u.ImageType, iitCustom) << p;
    }
}

class GetImage : public ::testing::Test {
protected:
    g3test::TempDir dir;
    TImgUtil u;
};

TEST_F(GetImage, FoldersMissingPathsAndUnknownFilesGiveIcons) {
    EXPECT_EQ(u.GetImage(dir / "missing.bmp", 100, 100, 0), 1);
    EXPECT_TRUE(u.Bitmap.isNull());

    EXPECT_EQ(u.GetImage(dir.mkdir("cave"), 100, 100, 0), 0);
    EXPECT_EQ(u.ImageType, iitDir);
    EXPECT_EQ(u.IconIndex, 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(32, 32));

    EXPECT_EQ(u.GetImage("/", 100, 100, 0), 0);
    EXPECT_EQ(u.ImageType, iitDir);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));

    // A folder named like a picture is typed by its name; decoding it fails.
    EXPECT_EQ(u.GetImage(dir.mkdir("holiday.jpg"), 100, 100, 0), -1);
    EXPECT_EQ(u.ImageType, iitJpeg);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));

    EXPECT_EQ(u.GetImage(dir.write("data.xyz", "?"), 100, 100, 0), 0);
    EXPECT_EQ(u.ImageType, iitNone);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));

    // A damaged picture falls back to the icon, on the background colour.
    u.setBKColor(0x00FF00);
    EXPECT_EQ(u.GetImage(dir.write("broken.bmp", "BM not really"), 100, 100, 0), -1);
    EXPECT_EQ(u.ImageType, iitBmp);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));
    EXPECT_EQ(u.Bitmap.format(), QImage::Format_RGB888);
}

TEST_F(GetImage, IconFilesShowTheirOwnPictureUnscaled) {
    const std::string ico = copySample(dir, "red.ico", "red.ICO");
    u.setGetType(igtFit);
    EXPECT_EQ(u.GetImage(ico, 300, 300, 0), 0);
    EXPECT_EQ(u.ImageType, iitIco);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32)); // the picture nearest the natural size
    EXPECT_EQ(middle(u.Bitmap), QColor(220, 0, 0));
}

TEST_F(GetImage, ProgramsShowTheIconsTheyHold) {
    const std::string dll = copySample(dir, "icons.dll", "icons.dll");
    EXPECT_EQ(u.GetImage(dll, 100, 100, 0), 0);
    EXPECT_EQ(u.ImageType, iitDll);
    EXPECT_EQ(u.IconCount, 3);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));
    EXPECT_EQ(middle(u.Bitmap), QColor(220, 0, 0));
    EXPECT_EQ(u.GetImage(dll, 100, 100, 1), 0);
    EXPECT_EQ(middle(u.Bitmap), QColor(0, 180, 0)); // stored as PNG in the icon
    EXPECT_EQ(u.GetImage(dll, 100, 100, 2), 0);
    EXPECT_EQ(middle(u.Bitmap), QColor(0, 0, 230));
    EXPECT_EQ(u.IconIndex, 2);
    // An index past the icons, and a program without any, show the type's icon.
    for (const auto& [file, index] :
         {std::pair{dll, 7}, {copySample(dir, "noicons.dll", "x.exe"), 0}}) {
        EXPECT_EQ(u.GetImage(file, 100, 100, index), 0);
        EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));
        const QColor c = middle(u.Bitmap);
        EXPECT_FALSE(c == QColor(220, 0, 0) || c == QColor(0, 0, 230));
    }
    EXPECT_EQ(u.IconCount, 0);
}

TEST_F(GetImage, WrestoolCountsTheSameIcons) {
    if (std::system("command -v wrestool >/dev/null") != 0) GTEST_SKIP() << "no wrestool";
    const std::string list = dir / "list.txt";
    ASSERT_EQ(std::system(
                  ("wrestool -l --type=14 '" + sample("icons.dll") + "' > '" + list + "'").c_str()),
              0);
    std::ifstream in(list);
    int groups = 0;
    for (std::string line; std::getline(in, line);)
        groups += line.find("group_icon") != std::string::npos;
    EXPECT_EQ(u.GetImage(copySample(dir, "icons.dll", "i.dll"), 10, 10, 0), 0);
    EXPECT_EQ(u.IconCount, groups);
}

TEST_F(GetImage, TextIsAPageTwiceTheBox) {
    const std::string txt = dir.write("notes.txt", "HHHH\tHH\n\xe6\xb4\x9e\xe7\xaa\x9f\n");
    TFont f;
    f.font = QFont(QStringLiteral("ＭＳ Ｐゴシック"));
    f.font.setPixelSize(16);
    f.Color = QColor(0, 0, 0);
    u.setFont(f);
    if (QFontDatabase::hasFamily(QStringLiteral("IPAPGothic"))) {
        EXPECT_EQ(QFontInfo(u.Font().font).family(), QStringLiteral("IPAPGothic"));
    }
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(txt, 100, 60, 0), 0);
    EXPECT_EQ(u.ImageType, iitTxt);
    EXPECT_EQ(u.Bitmap.size(), QSize(200, 120));
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(200, 120));
    int ink = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x)
            ink += u.Bitmap.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(ink, 20) << "the first line is drawn";
    EXPECT_EQ(u.Bitmap.pixelColor(150, 100), QColor(255, 255, 255));
    u.setGetType(igtPreview);
    EXPECT_EQ(u.GetImage(txt, 100, 60, 0), 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(100, 60));
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(200, 120));
}

TEST_F(GetImage, HtmlIsAPageWithTheBoxAspect) {
    // A folder whose name is not UTF-8: the page's pictures are found beside it all the same.
    const std::string folder = "d\xe9j\xe0";
    dir.write(folder + "/pic.bmp", g3test::readFile(sample("bmp24.bmp")));
    const std::string fifo = dir / (folder + "/fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The FIFO is never opened: a read of it would wait for ever.
    const std::string html = dir.write(folder + "/page.HTM",
                                       "<html><body bgcolor=\"#00ff00\"><p>家</p><img src=\"fifo\">"
                                       "<img src=\"/dev/zero\"><img src=\"pic.bmp\" width=\"70\" "
                                       "height=\"50\"></body></html>");
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(html, 320, 160, 0), 0);
    EXPECT_EQ(u.ImageType, iitHtml);
    EXPECT_EQ(u.Bitmap.size(), QSize(640, 320));
    EXPECT_EQ(u.Bitmap.pixelColor(600, 300), QColor(0, 255, 0));
    bool picture = false; // the local picture is drawn
    for (int y = 0; y < 320 && !picture; ++y)
        for (int x = 0; x < 100 && !picture; ++x)
            picture = u.Bitmap.pixelColor(x, y) == QColor(248, 0, 0);
    EXPECT_TRUE(picture);
    u.setGetType(igtStretch); // any scaling type resamples to the box itself
    EXPECT_EQ(u.GetImage(html, 320, 160, 0), 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(320, 160));
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(640, 320));
    // A box without width gives no page.
    EXPECT_EQ(u.GetImage(html, 0, 160, 0), -1);
}

TEST_F(GetImage, MailShowsItsHeadersAndTextInTheirCharsets) {
    QString page;
    ASSERT_TRUE(mailPageHtml(g3test::bytesOf(sample("mail_jis.eml")), page));
    for (const char* text : {"洞窟の地図", "山田", "yamada@example.jp", "新しい家が建ちました。",
                             "件名:", "Tue, 1 Apr 2003 10:20:30 +0900"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(text))) << text;
    EXPECT_FALSE(page.contains(QLatin1Char('\r'))); // one break a line
    ASSERT_TRUE(mailPageHtml(g3test::bytesOf(sample("mail_html.eml")), page));
    EXPECT_TRUE(page.contains(QStringLiteral("<b>太字の家</b>")));
    EXPECT_FALSE(page.contains(QStringLiteral("plain words")));
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(copySample(dir, "mail_jis.eml", "m.eml"), 400, 300, 0), 0);
    EXPECT_EQ(u.ImageType, iitEml);
    EXPECT_EQ(u.Bitmap.size(), QSize(640, 480));
}

TEST_F(GetImage, MetafilesAreDrawnOnTheBackground) {
    u.setBKColor(0xC80000); // blue 200
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(copySample(dir, "shapes.emf", "s.emf"), 50, 50, 0), 0);
    EXPECT_EQ(u.ImageType, iitEmf);
    EXPECT_EQ(u.Bitmap.size(), QSize(100, 60));
    EXPECT_EQ(u.Bitmap.pixelColor(3, 56), QColor(0, 0, 200));
    // The content decides the format, whatever the extension says.
    u.setGetType(igtPreview);
    EXPECT_EQ(u.GetImage(copySample(dir, "shapes.wmf", "s.emf"), 50, 50, 0), 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(50, 30));
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(100, 60));
}

TEST_F(GetImage, JpegsAreDecodedNoLargerThanTheBoxNeeds) {
    QImage picture(1600, 1200, QImage::Format_RGB888);
    picture.fill(QColor(30, 60, 200));
    const std::string big = dir / "big.jpg";
    ASSERT_TRUE(picture.save(QString::fromStdString(big), "JPEG", 90));
    EXPECT_EQ(u.GetImage(big, 445, 404, 0), 0);
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(1600, 1200));
    EXPECT_EQ(u.Bitmap.size(), QSize(445, 333)); // from the 1/2 decode, 800 x 600
    // A JPEG of exactly the box's size is not scaled.
    const std::string exact = dir / "exact.jpg";
    ASSERT_TRUE(picture.copy(0, 0, 445, 404).save(QString::fromStdString(exact), "JPEG"));
    EXPECT_EQ(u.GetImage(exact, 445, 404, 0), 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(445, 404));
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(big, 445, 404, 0), 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(1600, 1200));
}

TEST_F(GetImage, TheCustomHookTakesItsFormats) {
    TImgCustomTest hook;
    u.CustomImage = &hook;
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(copySample(dir, "gif_frame.gif", "a.GIF"), 100, 100, 0), 0);
    EXPECT_EQ(u.ImageType, iitCustom);
    EXPECT_EQ(u.Bitmap.size(), QSize(10, 9));
    EXPECT_EQ(QSize(u.OrgWidth, u.OrgHeight), QSize(10, 9));
    // A Photoshop name on a PNG's bytes: the content decides.
    QImage png(6, 4, QImage::Format_RGB888);
    png.fill(Qt::red);
    ASSERT_TRUE(png.save(QString::fromStdString(dir / "really_png.psd"), "PNG"));
    EXPECT_EQ(u.GetImage(dir / "really_png.psd", 100, 100, 0), 0);
    EXPECT_EQ(u.Bitmap.size(), QSize(6, 4));
    // No codec knows these bytes; a folder named like a picture cannot be read.
    EXPECT_EQ(u.GetImage(dir.write("noise.psd", "not a picture"), 100, 100, 0), -1);
    EXPECT_EQ(u.GetImage(dir.mkdir("album.png"), 100, 100, 0), -1);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));
}

TEST_F(GetImage, VideosShowTheFrameAtAviFramePos) {
    if (std::system("command -v ffmpeg >/dev/null") != 0) GTEST_SKIP() << "no ffmpeg";
    // 20 frames at 10 per second, frame n grey 10 n, stored uncompressed.
    const std::string avi = dir / "clip.avi";
    const std::string cmd =
        "ffmpeg -loglevel error -f lavfi -i color=c=black:s=32x24:r=10:d=2 "
        "-vf \"geq=r='N*10':g='N*10':b='N*10'\" -c:v rawvideo -pix_fmt bgr24 '" +
        avi + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    u.setGetType(igtNormal);
    EXPECT_EQ(u.GetImage(avi, 100, 100, 0), 0);
    EXPECT_EQ(u.ImageType, iitAvi);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 24));
    EXPECT_EQ(middle(u.Bitmap), QColor(40, 40, 40)); // 20 % of 20 frames: frame 4
    EXPECT_EQ(u.AviInfo.dwLength, 20u);
    EXPECT_EQ(u.AviInfo.dwRate / u.AviInfo.dwScale, 10u);
    EXPECT_EQ(u.AviInfo.rcFrame[2], 32);
    EXPECT_EQ(u.AviInfo.fccType, 0x73646976u); // "vids"
    u.setAviFramePos(0);
    EXPECT_EQ(u.GetImage(avi, 100, 100, 0), 0);
    EXPECT_EQ(middle(u.Bitmap), QColor(0, 0, 0));
    u.setAviFramePos(100); // frame 20 is past the end: the last one, 19
    EXPECT_EQ(u.GetImage(avi, 100, 100, 0), 0);
    EXPECT_EQ(middle(u.Bitmap), QColor(190, 190, 190));
    EXPECT_EQ(u.GetImage(dir.write("fake.avi", "RIFF...."), 100, 100, 0), -1);
    EXPECT_EQ(u.Bitmap.size(), QSize(32, 32));
    // A FIFO is never opened: FFmpeg would wait for a writer for ever.
    ASSERT_EQ(mkfifo((dir / "pipe.avi").c_str(), 0600), 0);
    EXPECT_EQ(u.GetImage(dir / "pipe.avi", 100, 100, 0), -1);
}

} // namespace
} // namespace g3

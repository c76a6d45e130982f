// Each codec against pictures whose pixels are known: the samples of data/ (written byte by
// byte by make_samples.py, with the expected pictures beside them) and the corpus files,
// compared with Qt's own readers where Qt has one.
#include "imgpreview/codecs.h"

#include "imgtest.h"

#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

namespace g3 {
namespace {

using g3test::bytesOf;
using g3test::corpusImages;
using g3test::maxDifference;
using g3test::sample;

Decoded decodeFile(const ImageCodec& codec, const std::string& path, DecodeOptions options = {}) {
    return codec.decode(bytesOf(path), options);
}

QImage qtReads(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    return flattenOnto(reader.read(), Qt::white);
}

QStringList corpusFiles(const char* folder, const char* pattern) {
    return QDir(QString::fromStdString(corpusImages() + "/" + folder))
        .entryList({QString::fromLatin1(pattern)}, QDir::Files, QDir::Name);
}

TEST(BmpCodec, ReadsEveryDepthAndCompression) {
    const QImage pattern = g3test::readPpm(sample("bmp_pattern.ppm"));
    const struct {
        const char* file;
        int tolerance;
    } files[] = {{"bmp4.bmp", 0},  {"bmp4rle.bmp", 0},    {"bmp8.bmp", 0},  {"bmp8rle.bmp", 0},
                 {"bmp16.bmp", 8}, {"bmp16bf565.bmp", 8}, {"bmp24.bmp", 0}, {"bmp24topdown.bmp", 0},
                 {"bmp32.bmp", 0}, {"bmp32bf.bmp", 0}};
    for (const auto& f : files) {
        const Decoded d = decodeFile(bmpCodec(), sample(f.file));
        ASSERT_TRUE(d) << f.file << ": " << d.error;
        EXPECT_LE(maxDifference(d.image, pattern), f.tolerance) << f.file;
    }
    const Decoded one = decodeFile(bmpCodec(), sample("bmp1.bmp"));
    ASSERT_TRUE(one) << one.error;
    EXPECT_EQ(maxDifference(one.image, g3test::readPpm(sample("bmp_pattern1.ppm"))), 0);
}

TEST(GifCodec, DrawsTheFirstFrameOnTheBackground) {
    const Decoded d = decodeFile(gifCodec(), sample("gif_frame.gif"));
    ASSERT_TRUE(d) << d.error;
    EXPECT_EQ(maxDifference(d.image, g3test::readPpm(sample("gif_frame.ppm"))), 0);
    DecodeOptions grey;
    grey.background = QColor(128, 128, 128);
    const Decoded bad = decodeFile(gifCodec(), sample("gif_badindex.gif"), grey);
    ASSERT_TRUE(bad) << bad.error;
    EXPECT_EQ(bad.image.pixelColor(0, 0), QColor(9, 9, 9));
    EXPECT_EQ(bad.image.pixelColor(1, 0), QColor(90, 90, 90));
    EXPECT_EQ(bad.image.pixelColor(2, 0), grey.background); // past the colour table
    EXPECT_EQ(bad.image.pixelColor(3, 0), grey.background);
}

TEST(Codecs, RefuseDeclaredSizesPastTheLimitAndBrokenFiles) {
    const struct {
        const ImageCodec& codec;
        const char* file;
    } files[] = {
        {bmpCodec(), "bmp_huge.bmp"},   {gifCodec(), "gif_huge.gif"},
        {jpegCodec(), "jpeg_huge.jpg"}, {pngCodec(), "png_huge.png"},
        {jpegCodec(), "cmyk.jpg"},      {emfCodec(), "emf_badrecord.emf"},
    };
    for (const auto& f : files) {
        const Decoded d = decodeFile(f.codec, sample(f.file));
        EXPECT_FALSE(d) << f.file;
        EXPECT_FALSE(d.error.empty()) << f.file;
    }
    EXPECT_FALSE(pngCodec().decode({}, {}));
    EXPECT_FALSE(jpegCodec().decode({}, {}));
}

TEST(Codecs, RecogniseTheirFilesByContent) {
    const struct {
        const char* file;
        const char* codec;
    } files[] = {{"bmp8.bmp", "BMP"},     {"gif_frame.gif", "GIF"}, {"cmyk.jpg", "JPEG"},
                 {"png_huge.png", "PNG"}, {"shapes.emf", nullptr},  {"mail_jis.eml", nullptr}};
    for (const auto& f : files) {
        const ImageCodec* c = codecRecognising(bytesOf(sample(f.file)));
        EXPECT_STREQ(c ? c->name() : nullptr, f.codec) << f.file;
    }
    EXPECT_TRUE(emfCodec().recognises(bytesOf(sample("shapes.emf"))));
    EXPECT_TRUE(wmfCodec().recognises(bytesOf(sample("shapes.wmf"))));
}

TEST(MetafileCodecs, DrawTheRecordsOnTheBackgroundAtTheFileSize) {
    DecodeOptions options;
    options.background = QColor(0, 0, 200);
    const Decoded emf = decodeFile(emfCodec(), sample("shapes.emf"), options);
    ASSERT_TRUE(emf) << emf.error;
    EXPECT_EQ(emf.image.size(), QSize(100, 60));
    EXPECT_EQ(emf.image.pixelColor(30, 25), QColor(255, 0, 0)); // the rectangle
    EXPECT_EQ(emf.image.pixelColor(77, 32), QColor(0, 255, 0)); // the ellipse
    EXPECT_EQ(emf.image.pixelColor(3, 56), QColor(0, 0, 200));  // nothing drawn there
    const Decoded wmf = decodeFile(wmfCodec(), sample("shapes.wmf"), options);
    ASSERT_TRUE(wmf) << wmf.error;
    EXPECT_EQ(wmf.image.size(), QSize(100, 60));
    EXPECT_EQ(wmf.image.pixelColor(30, 25), QColor(255, 0, 0));
    EXPECT_EQ(wmf.image.pixelColor(80, 52), QColor(0, 0, 200));
}

TEST(JpegCodec, DecodesAsQtDoesAndShrinksByTheDctScale) {
    if (corpusImages().empty()) GTEST_SKIP() << "no picture corpus";
    const std::string file = corpusImages() + "/jpeg/testorig.jpg";
    DecodeOptions quality;
    quality.performance = jpBestQuality;
    const Decoded best = decodeFile(jpegCodec(), file, quality);
    ASSERT_TRUE(best) << best.error;
    EXPECT_EQ(maxDifference(best.image, qtReads(file)), 0);
    const Decoded fast = decodeFile(jpegCodec(), file);
    ASSERT_TRUE(fast) << fast.error;
    EXPECT_NE(maxDifference(fast.image, best.image), 0); // the fast transform differs a little
    EXPECT_LT(maxDifference(fast.image, best.image), 64);
    const QSize scaled[] = {{227, 149}, {114, 75}, {57, 38}, {29, 19}};
    for (int i = 0; i < 4; ++i) {
        DecodeOptions o;
        o.scaleDenom = 1 << i;
        EXPECT_EQ(decodeFile(jpegCodec(), file, o).image.size(), scaled[i]) << "1/" << o.scaleDenom;
    }
    EXPECT_EQ(jpegHeaderSize(bytesOf(file)), QSize(227, 149));
    EXPECT_TRUE(decodeFile(jpegCodec(), corpusImages() + "/jpeg/testimgari.jpg"));
    EXPECT_FALSE(decodeFile(jpegCodec(), corpusImages() + "/jpeg/monkey12.jpg")); // 12 bits
}

TEST(PngCodec, DecodesEveryPngSuiteTypeAsQtDoes) {
    if (corpusImages().empty()) GTEST_SKIP() << "no picture corpus";
    const QStringList files = corpusFiles("png", "*.png");
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const std::string file = corpusImages() + "/png/" + name.toStdString();
        const Decoded d = decodeFile(pngCodec(), file);
        ASSERT_TRUE(d) << file << ": " << d.error;
        // Qt's reader takes the samples of 16-bit colour with a transparent colour for alpha;
        // the grey in the middle of these is opaque.
        if (name.endsWith(QLatin1String("2c16.png")) && name.contains(QLatin1String("ftb"))) {
            EXPECT_EQ(d.image.pixelColor(16, 16), QColor(158, 158, 158)) << file;
            continue;
        }
        // Qt keeps 16-bit samples to the end and rounds once; libpng scales them first.
        EXPECT_LE(maxDifference(d.image, qtReads(file)), 1) << file;
    }
}

TEST(PsdCodec, ReadsEveryColourModeAndDepth) {
    if (corpusImages().empty()) GTEST_SKIP() << "no picture corpus";
    const std::string dir = corpusImages() + "/psd/";
    const Decoded rgb = decodeFile(psdCodec(), dir + "4x4_8bit_rgb.psd");
    ASSERT_TRUE(rgb) << rgb.error;
    ASSERT_EQ(rgb.image.size(), QSize(4, 4));
    // The same picture in other depths and modes. The mid-tones of the Lab and 32-bit files
    // differ from the 8-bit ones (the modes were converted with colour management); their
    // saturated blue corner shows whether the samples were read in the right space.
    const struct {
        const char* file;
        int tolerance;
    } modes[] = {{"4x4_16bit_rgb.psd", 1}, {"4x4_32bit_rgb.psd", 60}, {"4x4_8bit_lab.psd", 45}};
    for (const auto& m : modes) {
        const Decoded d = decodeFile(psdCodec(), dir + m.file);
        ASSERT_TRUE(d) << m.file << ": " << d.error;
        EXPECT_LE(maxDifference(d.image, rgb.image), m.tolerance) << m.file;
        EXPECT_LE(maxDifference(d.image.copy(0, 0, 1, 1), rgb.image.copy(0, 0, 1, 1)), 21)
            << m.file;
    }
    const Decoded grey8 = decodeFile(psdCodec(), dir + "4x4_8bit_grayscale.psd");
    const Decoded grey16 = decodeFile(psdCodec(), dir + "4x4_16bit_grayscale.psd");
    ASSERT_TRUE(grey8 && grey16);
    EXPECT_LE(maxDifference(grey8.image, grey16.image), 1);
    EXPECT_TRUE(grey8.image.isGrayscale());
    EXPECT_TRUE(decodeFile(psdCodec(), dir + "4x4_1bit_bitmap.psd"));
    for (const char* f : {"1layer.psd", "2layers.psd"}) {
        const Decoded d = decodeFile(psdCodec(), dir + f);
        ASSERT_TRUE(d) << f << ": " << d.error;
        EXPECT_EQ(d.image.size(), QSize(101, 55)) << f;
    }
}

// Every sample and corpus file cut short at a few lengths: each codec either decodes what
// it gets or fails, reading nothing past the end (ASan watches).
TEST(Codecs, TruncatedFilesFailCleanly) {
    std::vector<std::string> files;
    for (const QString& f : QDir(QString::fromLatin1(G3_SAMPLES_DIR)).entryList(QDir::Files))
        files.push_back(sample(f.toStdString()));
    if (!corpusImages().empty())
        for (const char* f : {"/png/basn6a16.png", "/png/ibasn3p08.png", "/jpeg/testimgint.jpg",
                              "/jpeg/testorig.jpg", "/bmp/shira_bird8.bmp", "/psd/2layers.psd"})
            files.push_back(corpusImages() + f);
    const ImageCodec* codecs[] = {&bmpCodec(), &jpegCodec(), &pngCodec(),
                                  &gifCodec(), &psdCodec(),  &emfCodec()};
    for (const std::string& file : files) {
        const std::vector<std::uint8_t> bytes = bytesOf(file);
        for (std::size_t cut :
             {std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
            if (cut == 0 || cut >= bytes.size()) continue;
            // A copy of exactly `cut` bytes, so a read past it is a read past the buffer.
            const std::vector<std::uint8_t> part(bytes.begin(),
                                                 bytes.begin() + std::ptrdiff_t(cut));
            for (const ImageCodec* c : codecs)
                if (c->recognises(part)) (void)c->decode(part, {});
        }
    }
}

} // namespace
} // namespace g3

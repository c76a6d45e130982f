// Scaling to the box and resampling, the latter against vectors an independent script made
// (data/resample_reference.py).
#include "imgpreview/ImgUtils.h"
#include "imgpreview/resample.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace g3 {
namespace {

struct FitCase {
    TGetType type;
    int w, h, boxW, boxH, wantW, wantH;
};

TEST(ApplyGetType, ScalesToTheBoxAsGetTypeSays) {
    const FitCase cases[] = {
        {igtStretch, 10, 20, 100, 100, 50, 100},
        {igtStretch, 20, 10, 100, 100, 100, 50},
        {igtStretch, 8, 9, 10, 100, 10, 11},      // the width limits a portrait picture too
        {igtStretch, 100, 50, 100, 100, 100, 50}, // touching one side: only shrinking applies
        {igtStretch, 150, 50, 100, 100, 100, 33},
        {igtStretch, 30, 10, 100, 20, 60, 20}, // landscape, the height limits
        {igtPreview, 400, 300, 100, 100, 100, 75},
        {igtPreview, 50, 50, 100, 100, 50, 50}, // never enlarged
        {igtPreview, 300, 400, 100, 100, 75, 100},
        {igtPreview, 400, 300, 100, 50, 66, 50},
        {igtPreview, 300, 400, 50, 100, 50, 66},
        {igtPreview, 200, 200, 100, 50, 50, 50},
        {igtFit, 30, 20, 7, 9, 7, 9},
        {igtNormal, 30, 20, 7, 9, 30, 20},
    };
    for (const FitCase& c : cases) {
        TImgUtil loader;
        loader.setGetType(c.type);
        QImage bitmap(c.w, c.h, QImage::Format_RGB888);
        bitmap.fill(Qt::gray);
        loader.ApplyGetType(bitmap, c.boxW, c.boxH);
        EXPECT_EQ(bitmap.size(), QSize(c.wantW, c.wantH))
            << "type " << c.type << ": " << c.w << "x" << c.h << " in " << c.boxW << "x" << c.boxH;
    }
}

TEST(CalcFitSize, APictureWithoutAreaTakesTheBox) {
    EXPECT_EQ(TImgUtil::CalcFitSize(0, 500, 40, 30), QSize(40, 30));
    EXPECT_EQ(TImgUtil::CalcFitSize(0, 0, 40, 30), QSize(0, 0));
}

struct Vector {
    int w, h, newW, newH;
    std::vector<std::uint8_t> in, out;
};

std::vector<std::uint8_t> hex(const std::string& s) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(s.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<Vector> vectors() {
    std::ifstream in(G3_RESAMPLE_VECTORS);
    std::vector<Vector> all;
    std::string word;
    while (in >> word) {
        if (word == "case") {
            all.emplace_back();
            in >> all.back().w >> all.back().h >> all.back().newW >> all.back().newH;
        } else if (word == "in" || word == "out") {
            std::string data;
            in >> data;
            (word == "in" ? all.back().in : all.back().out) = hex(data);
        } else {
            std::getline(in, word); // a comment
        }
    }
    return all;
}

QImage pictureOf(const std::vector<std::uint8_t>& bytes, int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        std::copy_n(bytes.begin() + y * w * 3, w * 3, image.scanLine(y));
    return image;
}

std::vector<std::uint8_t> bytesOf(const QImage& image) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < image.height(); ++y)
        bytes.insert(bytes.end(), image.constScanLine(y),
                     image.constScanLine(y) + image.width() * 3);
    return bytes;
}

TEST(ResizeBitmap, MatchesTheReferenceToTheLastBit) {
    const std::vector<Vector> all = vectors();
    ASSERT_EQ(all.size(), 11u);
    for (const Vector& v : all) {
        QImage image = pictureOf(v.in, v.w, v.h);
        TImgUtil::ResizeBitmap(image, v.newW, v.newH);
        ASSERT_EQ(image.size(), QSize(v.newW, v.newH));
        EXPECT_EQ(image.format(), QImage::Format_RGB888);
        EXPECT_EQ(bytesOf(image), v.out) << v.w << "x" << v.h << " to " << v.newW << "x" << v.newH;
        // Another pixel format is made 24 bits first, with the same result.
        QImage rgb32 = pictureOf(v.in, v.w, v.h).convertToFormat(QImage::Format_RGB32);
        TImgUtil::ResizeBitmap(rgb32, v.newW, v.newH);
        EXPECT_EQ(bytesOf(rgb32), v.out);
    }
}

TEST(ResizeBitmap, EnlargingOnePixelGivesAUniformRow) {
    QImage image(1, 2, QImage::Format_RGB888);
    image.setPixelColor(0, 0, QColor(10, 200, 30));
    image.setPixelColor(0, 1, QColor(250, 0, 99));
    TImgUtil::ResizeBitmap(image, 9, 2);
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(image.pixelColor(x, 0), QColor(10, 200, 30));
        EXPECT_EQ(image.pixelColor(x, 1), QColor(250, 0, 99));
    }
}

TEST(ResizeBitmap, AGreatReductionKeepsTheColour) {
    // 1,500 source pixels to one: a 32-bit sum of the coverage would have wrapped. The
    // 22-bit scale factor loses a little at such ratios (a step or so per pass).
    QImage image(3000, 1500, QImage::Format_RGB888);
    image.fill(QColor(200, 100, 255));
    TImgUtil::ResizeBitmap(image, 2, 1);
    for (int x = 0; x < 2; ++x) {
        const QColor c = image.pixelColor(x, 0);
        EXPECT_NEAR(c.red(), 200, 3);
        EXPECT_NEAR(c.green(), 100, 3);
        EXPECT_NEAR(c.blue(), 255, 3);
    }
}

TEST(ResizeBitmap, RefusesWhatCannotBeResampled) {
    QImage empty;
    EXPECT_THROW(TImgUtil::ResizeBitmap(empty, 5, 5), std::invalid_argument);
    QImage image(4, 4, QImage::Format_RGB888);
    image.fill(Qt::red);
    EXPECT_THROW(TImgUtil::ResizeBitmap(image, 0, 4), std::invalid_argument);
    EXPECT_THROW(TImgUtil::ResizeBitmap(image, 4, 40000), std::invalid_argument);
    TImgUtil::ResizeBitmap(image, 4, 4); // nothing to do
    EXPECT_EQ(image.size(), QSize(4, 4));
}

} // namespace
} // namespace g3

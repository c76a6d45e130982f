// Packed DIBs of video frames written as BMP files and read back.
#include "imgpreview/codecs.h"
#include "imgpreview/dib.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace g3 {
namespace {

void put32(std::vector<std::uint8_t>& d, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A DIB of w x h pixels at `bits` per pixel with `used` colour-table entries named in the
// header and `tableEntries` present; pixel bytes all `fill`.
std::vector<std::uint8_t> dib(int w, int h, int bits, std::uint32_t used, int tableEntries,
                              std::uint8_t fill = 0) {
    const int row = (bits * w + 31) / 32 * 4;
    std::vector<std::uint8_t> d(40 + 4 * tableEntries + row * std::abs(h), fill);
    std::fill(d.begin(), d.begin() + 40 + 4 * tableEntries, 0);
    put32(d, 0, 40);
    put32(d, 4, static_cast<std::uint32_t>(w));
    put32(d, 8, static_cast<std::uint32_t>(h));
    d[12] = 1;
    d[14] = static_cast<std::uint8_t>(bits);
    put32(d, 32, used);
    return d;
}

struct SizeCase {
    int w, h, bits;
    std::uint32_t used;
    int table;
    qint64 fileSize, offBits;
};

TEST(WriteDibAsBmp, WritesTheFileHeaderAndAsMuchOfTheDib) {
    const SizeCase cases[] = {
        {5, 3, 4, 0, 16, 4 * 3 + 16 * 4 + 54, 54 + 64}, // 4 bits: 16 colours when 0
        {5, 3, 4, 3, 3, 4 * 3 + 3 * 4 + 54, 54 + 12},
        {5, 3, 8, 0, 256, 8 * 3 + 256 * 4 + 54, 54 + 1024}, // 8 bits: 256 when 0
        {5, 3, 8, 20, 20, 8 * 3 + 20 * 4 + 54, 54 + 80},
        {5, 3, 24, 0, 0, 16 * 3 + 54, 54},
        {5, -3, 24, 0, 0, 16 * 3 + 54, 54}, // top-down rows count the same
    };
    for (const SizeCase& c : cases) {
        const std::vector<std::uint8_t> frame = dib(c.w, c.h, c.bits, c.used, c.table);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(WriteDibAsBmp(frame, &out)) << c.bits << " bits";
        const QByteArray bmp = out.data();
        ASSERT_EQ(bmp.size(), c.fileSize) << c.bits << " bits";
        EXPECT_EQ(bmp.left(2), "BM");
        auto u32 = [&](int at) {
            return qint64(quint8(bmp[at]) | quint8(bmp[at + 1]) << 8 | quint8(bmp[at + 2]) << 16 |
                          quint32(quint8(bmp[at + 3])) << 24);
        };
        EXPECT_EQ(u32(2), c.fileSize);
        EXPECT_EQ(u32(6), 0);
        EXPECT_EQ(u32(10), c.offBits);
        EXPECT_EQ(bmp.mid(14), QByteArray(reinterpret_cast<const char*>(frame.data()),
                                          static_cast<qsizetype>(c.fileSize - 14)));
    }
}

TEST(WriteDibAsBmp, WritesNothingForAMissingOrShortFrame) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_FALSE(WriteDibAsBmp({}, &out));
    std::vector<std::uint8_t> frame = dib(5, 3, 24, 0, 0);
    EXPECT_FALSE(WriteDibAsBmp(frame, nullptr));
    frame.pop_back(); // one byte short of its rows
    EXPECT_FALSE(WriteDibAsBmp(frame, &out));
    EXPECT_FALSE(WriteDibAsBmp(ByteView(frame).first(39), &out));
    EXPECT_EQ(out.data().size(), 0);
}

TEST(WriteDibAsBmp, TheBmpCodecReadsTheFrameBack) {
    std::vector<std::uint8_t> frame = dib(3, 2, 24, 0, 0);
    const std::uint8_t bottomLeft[] = {10, 20, 30}; // blue, green, red
    std::copy(std::begin(bottomLeft), std::end(bottomLeft), frame.begin() + 40);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteDibAsBmp(frame, &out));
    const QByteArray bmp = out.data();
    const Decoded d = bmpCodec().decode(
        ByteView(reinterpret_cast<const std::uint8_t*>(bmp.constData()), std::size_t(bmp.size())),
        {});
    ASSERT_TRUE(d) << d.error;
    EXPECT_EQ(d.image.size(), QSize(3, 2));
    EXPECT_EQ(d.image.pixelColor(0, 1), QColor(30, 20, 10));
    EXPECT_EQ(d.image.pixelColor(1, 0), QColor(0, 0, 0));
}

} // namespace
} // namespace g3

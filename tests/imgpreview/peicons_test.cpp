// The reader of icons in PE files, on damaged copies of a real one.
#include "imgpreview/fileicon.h"
#include "imgpreview/peicons.h"

#include "imgtest.h"

#include <gtest/gtest.h>

namespace g3 {
namespace {

TEST(PeIcons, RebuildsEachGroupAsAnIconFile) {
    const std::vector<std::uint8_t> dll = g3test::bytesOf(g3test::sample("icons.dll"));
    const PeIcons icons = PeIcons::fromFile(dll);
    ASSERT_EQ(icons.count(), 3);
    const QColor colours[] = {{220, 0, 0}, {0, 180, 0}, {0, 0, 230}};
    for (int i = 0; i < 3; ++i) {
        const QByteArray ico = icons.icoFile(i);
        const QImage picture = iconFilePicture(ByteView(
            reinterpret_cast<const std::uint8_t*>(ico.constData()), std::size_t(ico.size())));
        EXPECT_EQ(picture.size(), QSize(32, 32)) << i;
        EXPECT_EQ(picture.pixelColor(16, 16), colours[i]) << i;
    }
    EXPECT_TRUE(icons.icoFile(3).isEmpty());
    EXPECT_TRUE(icons.icoFile(-1).isEmpty());
    EXPECT_EQ(PeIcons::fromFile(g3test::bytesOf(g3test::sample("noicons.dll"))).count(), 0);
}

// Cut short anywhere, or with any byte of its headers and resource tree changed, the file
// gives fewer icons or damaged ones, never a read past its bytes (ASan watches).
TEST(PeIcons, DamagedFilesAreReadWithinTheirBytes) {
    const std::vector<std::uint8_t> dll = g3test::bytesOf(g3test::sample("icons.dll"));
    auto readAll = [](const std::vector<std::uint8_t>& bytes) {
        const PeIcons icons = PeIcons::fromFile(bytes);
        for (int i = 0; i < icons.count(); ++i)
            (void)icons.icoFile(i);
        return icons.count();
    };
    for (std::size_t cut = 0; cut < dll.size(); cut += 97)
        EXPECT_LE(
            readAll(std::vector<std::uint8_t>(dll.begin(), dll.begin() + std::ptrdiff_t(cut))), 3);
    PeResourceSection where;
    ASSERT_TRUE(findPeResources(dll, where));
    std::vector<std::size_t> places;
    for (std::size_t i = 0; i < 1024; ++i)
        places.push_back(i);
    for (std::size_t i = where.fileOffset; i < where.fileOffset + 512 && i < dll.size(); ++i)
        places.push_back(i);
    for (std::size_t at : places) {
        for (std::uint8_t value : {std::uint8_t{0}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
            std::vector<std::uint8_t> damaged = dll;
            damaged[at] = value;
            readAll(damaged);
        }
    }
}

} // namespace
} // namespace g3

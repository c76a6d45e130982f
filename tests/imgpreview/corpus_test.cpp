// Every file of the shared picture corpus through GetImage, as the program's windows ask for
// pictures (the custom hook attached): a picture of the size its header declares, or the
// file's icon with -1; never a crash or a read out of bounds (ASan watches).
#include "imgpreview/ImgUtils.h"

#include "imgtest.h"

#include <QDirIterator>
#include <QImageReader>

#include <gtest/gtest.h>

#include <set>

namespace g3 {
namespace {

std::uint32_t be(const std::vector<std::uint8_t>& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | d[at + std::size_t(i)];
    return v;
}

// The size a file's header declares, read here without any of the loader's code: PNG's
// IHDR, Photoshop's header (both big-endian), Qt's readers for JPEG and BMP.
QSize declaredSize(const std::string& path) {
    const std::vector<std::uint8_t> d = g3test::bytesOf(path);
    if (path.ends_with(".png") && d.size() >= 24)
        return QSize(int(be(d, 16, 4)), int(be(d, 20, 4)));
    if (path.ends_with(".psd") && d.size() >= 22)
        return QSize(int(be(d, 18, 4)), int(be(d, 14, 4)));
    return QImageReader(QString::fromStdString(path)).size();
}

TEST(Corpus, EveryFileGivesItsPictureOrItsIcon) {
    const std::string root = g3test::corpusImages();
    if (root.empty()) GTEST_SKIP() << "no picture corpus";
    // Files the codecs refuse: 12-bit samples (libjpeg-turbo's 8-bit decoder), and an
    // indexed-colour Photoshop file ImageMagick 6.9's reader takes for a bad header.
    const std::set<std::string> refused = {"monkey12.jpg", "4x4_8bit_index_color.psd"};
    TImgCustomTest hook;
    TImgUtil normal, preview;
    normal.CustomImage = preview.CustomImage = &hook;
    normal.setGetType(igtNormal);
    int files = 0, pictures = 0;
    QDirIterator it(QString::fromStdString(root), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const std::string path = it.next().toStdString();
        const std::string name = it.fileName().toStdString();
        if (name.ends_with(".txt") || name.starts_with("README")) continue;
        ++files;
        const bool damaged = path.find("/png-bad/") != std::string::npos;
        const int r = normal.GetImage(path, 445, 404, 0);
        const int p = preview.GetImage(path, 445, 404, 0);
        EXPECT_EQ(r, p) << path;
        if (r == 0) {
            ++pictures;
            EXPECT_FALSE(refused.count(name)) << path;
            if (!damaged) {
                EXPECT_EQ(normal.Bitmap.size(), declaredSize(path)) << path;
            }
            EXPECT_EQ(QSize(normal.OrgWidth, normal.OrgHeight), normal.Bitmap.size()) << path;
            EXPECT_LE(preview.Bitmap.width(), 445) << path;
            EXPECT_LE(preview.Bitmap.height(), 404) << path;
        } else {
            EXPECT_EQ(r, -1) << path;
            EXPECT_TRUE(damaged || refused.count(name)) << path;
            EXPECT_EQ(normal.Bitmap.size(), QSize(32, 32)) << path << ": the icon";
        }
    }
    EXPECT_EQ(files, 85);
    EXPECT_EQ(pictures, 68); // all but the refused ones and 15 of the 16 damaged PNGs
}

} // namespace
} // namespace g3

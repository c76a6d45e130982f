#include "imgtest.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace g3test {

std::string corpusImages() {
    const std::string dir = std::string(G3_CORPUS_DIR) + "/images";
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dir : std::string();
}

std::string sample(const std::string& name) {
    return std::string(G3_SAMPLES_DIR) + "/" + name;
}

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QImage readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        in.read(reinterpret_cast<char*>(image.scanLine(y)), w * 3);
    return image;
}

int maxDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return INT_MAX;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int i = 0; i < x.width() * 3; ++i)
            worst = std::max(worst, std::abs(x.constScanLine(row)[i] - y.constScanLine(row)[i]));
    return worst;
}

} // namespace g3test

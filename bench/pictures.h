// Pictures the benchmarks make: one with detail everywhere, written as a PPM for the
// programs they compare with.
#pragma once

#include <QImage>

#include <fstream>
#include <string>

namespace bench {

// A picture with detail everywhere (gradients, fine stripes and some noise), so the JPEG
// codes about as much as a photograph's would.
inline QImage testPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    unsigned seed = 1;
    for (int y = 0; y < h; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>(seed >> 27);
            *p++ = static_cast<uchar>((x * 255 / w + noise) & 0xFF);
            *p++ = static_cast<uchar>(((x / 7 + y / 5) % 2 ? 200 : 60) + noise);
            *p++ = static_cast<uchar>((y * 255 / h + (x * y) / 97) & 0xFF);
        }
    }
    return image;
}

inline void writePpm(const QImage& image, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width() << " " << image.height() << "\n255\n";
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 3);
}

} // namespace bench

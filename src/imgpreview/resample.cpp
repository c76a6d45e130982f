#include "imgpreview/resample.h"

#include "imgpreview/codec.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace g3 {

namespace {

constexpr int kWeightOne = 1 << 20;    // cubic weights
constexpr int kCoverOne = 1 << 18;     // coverage of one source pixel when reducing
constexpr double kFactorOne = 1 << 22; // scale factor of the average
constexpr int kChannels = 3;

// The four taps of one target position: byte offsets of the source samples along the axis
// and their weights. Worked out once per column or row, never per pixel.
struct CubicTap {
    int offset[4];
    int weight[4];
};

std::vector<CubicTap> cubicTaps(int n, int m, int step) {
    std::vector<CubicTap> taps(static_cast<std::size_t>(m));
    for (int x = 0; x < m; ++x) {
        const double p = double(std::int64_t{n - 1} * x) / (m - 1);
        const int whole = static_cast<int>(p);
        const int first = whole - 1;
        const std::array<int, 4> w = CubicWeights(kWeightOne, p - whole + 1);
        // Only taps that would fall outside the source are clamped to its ends.
        const bool clamp = first < 0 || first + 3 > n - 1;
        CubicTap& t = taps[static_cast<std::size_t>(x)];
        for (int k = 0; k < 4; ++k) {
            t.offset[k] = (clamp ? std::clamp(first + k, 0, n - 1) : first + k) * step;
            t.weight[k] = w[static_cast<std::size_t>(k)];
        }
    }
    return taps;
}

inline std::uint8_t cubicByte(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 0xFF00000) >> 20);
}

// The stretch of source a reduced target pixel covers: from `start` (of which the part past
// startFrac counts) to `end` (of which the part before endFrac counts), in 18-bit fractions.
struct Span {
    int start, end;
    // What a start or end sample counts for: 2^18 less the start fraction (0 for a start
    // fraction of 2^18, which the average leaves out), and the end fraction.
    std::uint32_t startWeight, endWeight;
    // The end sample, or the start one where the end counts nothing: the last span's end
    // lies past the source, and a sample read for a weight of 0 changes nothing.
    int endRead;
};

std::vector<Span> spans(int n, int m) {
    std::vector<int> e(static_cast<std::size_t>(m) + 1);
    std::vector<std::uint32_t> r(e.size());
    for (int j = 0; j <= m; ++j) {
        const double q = double(std::int64_t{n} * j) / m;
        const int whole = static_cast<int>(q);
        e[static_cast<std::size_t>(j)] = whole;
        r[static_cast<std::size_t>(j)] = static_cast<std::uint32_t>((q - whole) * kCoverOne + 0.5);
    }
    std::vector<Span> s(static_cast<std::size_t>(m));
    for (std::size_t j = 0; j < s.size(); ++j) {
        const std::uint32_t startWeight = r[j] == kCoverOne ? 0 : kCoverOne - r[j];
        s[j] = {e[j], e[j + 1], startWeight, r[j + 1], r[j + 1] != 0 ? e[j + 1] : e[j]};
    }
    return s;
}

std::uint64_t averageFactor(int n, int m) {
    return static_cast<std::uint64_t>(1 / (double(n) / m) * kFactorOne + 0.5);
}

// Adds the partly covered ends of a span to `interior`, the plain sum of the wholly covered
// source samples between them, and scales the total back to a byte. The sum is kept in 64
// bits: 32 would wrap once a target pixel covers more than about 64 source pixels.
inline std::uint8_t averageByte(const Span& s, std::uint32_t first, std::uint32_t interior,
                                std::uint32_t last, std::uint64_t factor) {
    const std::uint64_t acc = kCoverOne / 2 + (std::uint64_t{interior} << 18) +
                              std::uint64_t{first} * s.startWeight +
                              std::uint64_t{last} * s.endWeight;
    return static_cast<std::uint8_t>((acc * factor) >> 40);
}

QImage blank(int w, int h) {
    if (!pictureSizeAllowed(w, h)) throw std::invalid_argument("picture size out of range");
    QImage out(w, h, QImage::Format_RGB888);
    if (out.isNull()) throw std::invalid_argument("picture does not fit in memory");
    return out;
}

QImage enlargeWidth(const QImage& src, int m) {
    const int n = src.width(), h = src.height();
    QImage dst = blank(m, h);
    const std::vector<CubicTap> taps = cubicTaps(n, m, kChannels);
    for (int y = 0; y < h; ++y) {
        const uchar* s = src.constScanLine(y);
        uchar* d = dst.scanLine(y);
        for (const CubicTap& t : taps) {
            for (int c = 0; c < kChannels; ++c) {
                const int v = kWeightOne / 2 + s[t.offset[0] + c] * t.weight[0] +
                              s[t.offset[1] + c] * t.weight[1] + s[t.offset[2] + c] * t.weight[2] +
                              s[t.offset[3] + c] * t.weight[3];
                *d++ = cubicByte(v);
            }
        }
    }
    return dst;
}

QImage enlargeHeight(const QImage& src, int m) {
    const int n = src.height(), bytes = src.width() * kChannels;
    QImage dst = blank(src.width(), m);
    const std::vector<CubicTap> taps = cubicTaps(n, m, 1);
    for (int y = 0; y < m; ++y) {
        const CubicTap& t = taps[static_cast<std::size_t>(y)];
        const uchar* r0 = src.constScanLine(t.offset[0]);
        const uchar* r1 = src.constScanLine(t.offset[1]);
        const uchar* r2 = src.constScanLine(t.offset[2]);
        const uchar* r3 = src.constScanLine(t.offset[3]);
        const int w0 = t.weight[0], w1 = t.weight[1], w2 = t.weight[2], w3 = t.weight[3];
        uchar* d = dst.scanLine(y);
        for (int i = 0; i < bytes; ++i)
            d[i] = cubicByte(kWeightOne / 2 + r0[i] * w0 + r1[i] * w1 + r2[i] * w2 + r3[i] * w3);
    }
    return dst;
}

QImage shrinkWidth(const QImage& src, int m) {
    const int n = src.width(), h = src.height();
    QImage dst = blank(m, h);
    const std::vector<Span> sp = spans(n, m);
    const std::uint64_t factor = averageFactor(n, m);
    for (int y = 0; y < h; ++y) {
        const uchar* s = src.constScanLine(y);
        uchar* d = dst.scanLine(y);
        for (const Span& span : sp) {
            // Two pixels a step: independent sums keep the adds from waiting on each other.
            std::uint32_t s0 = 0, s1 = 0, s2 = 0;
            const uchar* p = s + (span.start + 1) * kChannels;
            const uchar* end = s + span.end * kChannels;
            for (; p + 2 * kChannels <= end; p += 2 * kChannels) {
                s0 += p[0] + p[3];
                s1 += p[1] + p[4];
                s2 += p[2] + p[5];
            }
            if (p < end) {
                s0 += p[0];
                s1 += p[1];
                s2 += p[2];
            }
            const uchar* first = s + span.start * kChannels;
            const uchar* last = s + span.endRead * kChannels;
            *d++ = averageByte(span, first[0], s0, last[0], factor);
            *d++ = averageByte(span, first[1], s1, last[1], factor);
            *d++ = averageByte(span, first[2], s2, last[2], factor);
        }
    }
    return dst;
}

QImage shrinkHeight(const QImage& src, int m) {
    const int n = src.height(), bytes = src.width() * kChannels;
    QImage dst = blank(src.width(), m);
    const std::vector<Span> sp = spans(n, m);
    const std::uint64_t factor = averageFactor(n, m);
    std::vector<std::uint32_t> sum(static_cast<std::size_t>(bytes));
    for (int y = 0; y < m; ++y) {
        const Span& span = sp[static_cast<std::size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0);
        for (int k = span.start + 1; k < span.end; ++k) {
            const uchar* r = src.constScanLine(k);
            for (int i = 0; i < bytes; ++i)
                sum[static_cast<std::size_t>(i)] += r[i];
        }
        const uchar* first = src.constScanLine(span.start);
        const uchar* last = src.constScanLine(span.endRead);
        uchar* d = dst.scanLine(y);
        for (int i = 0; i < bytes; ++i)
            d[i] = averageByte(span, first[i], sum[static_cast<std::size_t>(i)], last[i], factor);
    }
    return dst;
}

void checkAxis(int from, int to) {
    if (from <= 0 || to <= 0) throw std::invalid_argument("cannot resample to or from nothing");
}

// Both fits share one rule: the long side of the picture meets the box, unless the short
// side would then overflow it.
QSize fitKeepingAspect(int w, int h, int width, int height) {
    const double a = double(w) / h;
    int nw, nh;
    if (h < w) {
        nw = width;
        nh = static_cast<int>(width / a);
        if (nh > height) {
            nh = height;
            nw = static_cast<int>(height * a);
        }
    } else {
        nh = height;
        nw = static_cast<int>(height * a);
        if (nw > width) {
            nw = width;
            nh = static_cast<int>(width / a);
        }
    }
    return {nw, nh};
}

} // namespace

std::array<int, 4> CubicWeights(int s, double t) {
    const double l0 = -(t - 1) * (t - 2) * (t - 3) / 6;
    const double l1 = t * (t - 2) * (t - 3) / 2;
    const double l2 = -t * (t - 1) * (t - 3) / 2;
    const double l3 = t * (t - 1) * (t - 2) / 6;
    auto round = [s](double l) { return static_cast<int>(l * s + 0.5); };
    return {round(l0), round(l1), round(l2), round(l3)};
}

void ResizeBitmap(QImage& bitmap, int newWidth, int newHeight) {
    if (bitmap.format() != QImage::Format_RGB888 && !bitmap.isNull())
        bitmap = bitmap.convertToFormat(QImage::Format_RGB888);
    if (newWidth != bitmap.width()) {
        checkAxis(bitmap.width(), newWidth);
        bitmap = bitmap.width() < newWidth ? enlargeWidth(bitmap, newWidth)
                                           : shrinkWidth(bitmap, newWidth);
    }
    if (newHeight != bitmap.height()) {
        checkAxis(bitmap.height(), newHeight);
        bitmap = bitmap.height() < newHeight ? enlargeHeight(bitmap, newHeight)
                                             : shrinkHeight(bitmap, newHeight);
    }
}

QSize CalcFitSize(int w, int h, int width, int height) {
    if (w <= width && h <= height) return {w, h};
    if (w <= 0 || h <= 0) return {width, height};
    return fitKeepingAspect(w, h, width, height);
}

QSize StretchSize(int w, int h, int width, int height) {
    if (w > 0 && h > 0 && w < width && h < height) return fitKeepingAspect(w, h, width, height);
    return CalcFitSize(w, h, width, height);
}

} // namespace g3

// BMP files through Qt's own reader: every bit depth, RLE4/RLE8, bit fields, top-down rows.
#include "imgpreview/codecs.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace g3 {

namespace {

// The size the header declares (a top-down picture's height is negative there); empty when
// the header is incomplete. The old OS/2 header holds 16-bit sizes.
QSize headerSize(ByteView d) {
    if (d.size() < 26) return {};
    const bool old = le32(d, 14) == 12;
    const std::int64_t w = old ? le16(d, 18) : static_cast<std::int32_t>(le32(d, 18));
    const std::int64_t h = old ? le16(d, 20) : static_cast<std::int32_t>(le32(d, 22));
    const std::int64_t limit = std::int64_t{1} << 30;
    if (w <= 0 || h == 0 || w > limit || h > limit || h < -limit) return {};
    return {static_cast<int>(w), static_cast<int>(h < 0 ? -h : h)};
}

class BmpCodec final : public ImageCodec {
public:
    const char* name() const override { return "BMP"; }

    bool recognises(ByteView data) const override {
        return data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
    }

    Decoded decode(ByteView data, const DecodeOptions& options) const override {
        // The reader sees the caller's bytes in place; nothing is copied.
        QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                   static_cast<qsizetype>(data.size()));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QSize declared = headerSize(data);
        if (declared.isEmpty()) return decodeFailure("no BMP header");
        if (!pictureSizeAllowed(declared.width(), declared.height()))
            return decodeFailure("BMP picture too large");
        QImageReader reader(&buffer, "bmp");
        QImage image = reader.read();
        if (image.isNull()) return decodeFailure(reader.errorString().toStdString());
        // The file's own pixel format is kept; only a picture with alpha is composed.
        return {flattenOnto(image, options.background), {}};
    }
};

} // namespace

const ImageCodec& bmpCodec() {
    static const BmpCodec codec;
    return codec;
}

} // namespace g3

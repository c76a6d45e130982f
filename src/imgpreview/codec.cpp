#include "imgpreview/codec.h"
#include "imgpreview/codecs.h"

#include <QPainter>

#include <array>
#include <stdexcept>

namespace g3 {

Decoded decodeFailure(std::string why) {
    return {QImage(), std::move(why)};
}

QImage takePicture(Decoded&& decoded) {
    if (!decoded) throw std::runtime_error(decoded.error);
    return std::move(decoded.image);
}

QImage flattenOnto(const QImage& picture, const QColor& background) {
    if (!picture.hasAlphaChannel()) return picture;
    QImage out(picture.size(), QImage::Format_RGB888);
    if (out.isNull()) return out;
    out.fill(background);
    QPainter p(&out);
    p.drawImage(0, 0, picture);
    return out;
}

std::span<const ImageCodec* const> registeredCodecs() {
    static const std::array<const ImageCodec*, 6> codecs = {
        &bmpCodec(), &jpegCodec(), &pngCodec(), &gifCodec(), &psdCodec(), &pcdCodec(),
    };
    return codecs;
}

const ImageCodec* codecRecognising(ByteView data) {
    for (const ImageCodec* c : registeredCodecs())
        if (c->recognises(data)) return c;
    return nullptr;
}

} // namespace g3

// The interface every picture decoder of the loader stands behind, and the limits they share.
// A codec turns the bytes of one file format into a picture. It reads only within the bytes
// it is given, refuses a picture larger than the limits below before allocating it, never
// throws for bad input and never leaves the process on it: a failure is a null picture with
// its reason. Codecs keep no state between calls; they run on the thread that calls them.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>
#include <span>
#include <string>

namespace g3 {

using ByteView = std::span<const std::uint8_t>;

// Little-endian fields of file headers; the caller has checked that they lie within `d`.
inline std::uint16_t le16(ByteView d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}
inline std::uint32_t le32(ByteView d, std::size_t at) {
    return std::uint32_t{le16(d, at)} | std::uint32_t{le16(d, at + 2)} << 16;
}

// TJPEGPerformance: what a JPEG decode favours.
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };

// The largest picture a codec makes: each side at most kMaxPictureSide pixels and the
// pixels (four bytes each) at most kMaxPictureBytes.
constexpr int kMaxPictureSide = 30000;
constexpr std::int64_t kMaxPictureBytes = std::int64_t{512} << 20;

// True when a picture of w x h pixels is within the limits (and not empty).
inline bool pictureSizeAllowed(std::int64_t w, std::int64_t h) {
    return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
           w * h * 4 <= kMaxPictureBytes;
}

struct DecodeOptions {
    TJPEGPerformance performance = jpBestSpeed;
    // 1, 2, 4 or 8: a decoder that can shrink while decoding (JPEG) gives a picture that
    // many times smaller in each direction, rounded up; the others ignore it.
    int scaleDenom = 1;
    // What transparent parts of a picture are composed on.
    QColor background = Qt::white;
};

struct Decoded {
    QImage image;      // opaque; null on failure
    std::string error; // the reason of a failure
    explicit operator bool() const { return !image.isNull(); }
};

// A failure with its reason.
Decoded decodeFailure(std::string why);
// The picture of a successful decode; throws std::runtime_error with the reason of a failure.
QImage takePicture(Decoded&& decoded);

class ImageCodec {
public:
    virtual ~ImageCodec() = default;
    // The format's short name ("BMP", "JPEG", ...).
    virtual const char* name() const = 0;
    // True when `data` begins as a file of this format does (its signature).
    virtual bool recognises(ByteView data) const = 0;
    virtual Decoded decode(ByteView data, const DecodeOptions& options) const = 0;
};

// A picture with an alpha channel composed on `background`; an opaque one as it is.
QImage flattenOnto(const QImage& picture, const QColor& background);

} // namespace g3

// Photoshop, Photo-CD and Windows metafile (WMF) pictures through ImageMagick's Magick++.
// Each codec names its coder explicitly, so ImageMagick never guesses a different format
// (or one of its script-like ones) from the bytes. ImageMagick's WMF reader (libwmf) sizes
// a metafile by the extent of what it draws, not by the size its placeable header names.
#include "imgpreview/codecs.h"

#include <Magick++.h>

#include <cstring>
#include <mutex>

namespace g3 {

namespace {

// Once per process: the library set up, held to our picture limits, on one thread (its
// thread pool would only compete with the window for the machine's cores) and without a
// disk cache, so a picture that does not fit in memory fails instead of filling the disk.
void setUpMagick() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        Magick::ResourceLimits::width(kMaxPictureSide);
        Magick::ResourceLimits::height(kMaxPictureSide);
        Magick::ResourceLimits::area(kMaxPictureBytes / 4);
        Magick::ResourceLimits::memory(kMaxPictureBytes);
        Magick::ResourceLimits::map(kMaxPictureBytes);
        Magick::ResourceLimits::disk(0);
        Magick::ResourceLimits::thread(1);
    });
}

using Signature = bool (*)(ByteView);

bool isPsd(ByteView d) {
    return d.size() >= 6 && std::memcmp(d.data(), "8BPS", 4) == 0 && d[4] == 0 &&
           (d[5] == 1 || d[5] == 2);
}

// The header's depth (big-endian, after signature, version, reserved, channels and size).
bool isPsd32(ByteView d) {
    return d.size() >= 24 && d[22] == 0 && d[23] == 32;
}

// A Photo-CD image pack carries its signature after 2 KiB of preamble.
bool isPcd(ByteView d) {
    return d.size() >= 2048 + 7 && std::memcmp(d.data() + 2048, "PCD_IPI", 7) == 0;
}

// A placeable metafile's key, or the plain header (type 1 or 2, nine-word header).
bool isWmf(ByteView d) {
    if (d.size() >= 4 && d[0] == 0xD7 && d[1] == 0xCD && d[2] == 0xC6 && d[3] == 0x9A) return true;
    return d.size() >= 18 && (d[0] == 1 || d[0] == 2) && d[1] == 0 && d[2] == 9 && d[3] == 0;
}

class MagickCodec final : public ImageCodec {
public:
    // linear: true for files whose samples are linear light rather than sRGB.
    MagickCodec(const char* name, const char* coder, Signature signature, bool vector,
                Signature linear = nullptr)
        : name_(name), coder_(coder), signature_(signature), vector_(vector), linear_(linear) {}

    const char* name() const override { return name_; }
    bool recognises(ByteView data) const override { return signature_(data); }

    Decoded decode(ByteView data, const DecodeOptions& options) const override {
        if (!signature_(data)) return decodeFailure(std::string("no ") + name_ + " signature");
        setUpMagick();
        try {
            return read(data, options);
        } catch (const std::exception& e) {
            return decodeFailure(e.what());
        }
    }

private:
    Decoded read(ByteView data, const DecodeOptions& options) const {
        Magick::Blob blob(data.data(), data.size());
        Magick::Image image;
        image.quiet(true);
        // The first picture only: a layered Photoshop file's merged picture.
        image.subImage(0);
        image.subRange(1);
        image.magick(coder_);
        // A metafile is drawn at the screen's 96 dots per inch, on the background.
        if (vector_) {
            image.density(Magick::Geometry(96, 96));
            image.backgroundColor(Magick::ColorRGB(options.background.redF(),
                                                   options.background.greenF(),
                                                   options.background.blueF()));
        }
        image.read(blob);
        const auto w = static_cast<std::int64_t>(image.columns());
        const auto h = static_cast<std::int64_t>(image.rows());
        if (!pictureSizeAllowed(w, h))
            return decodeFailure(std::string(name_) + " picture too large");
        // Photoshop keeps 32-bit pictures in linear light.
        if (linear_ && linear_(data)) {
            image.modifyImage();
            MagickCore::SetImageColorspace(image.image(), MagickCore::RGBColorspace);
        }
        // Photoshop files come in CMYK, Lab and grey too.
        if (image.colorSpace() != Magick::sRGBColorspace) image.colorSpace(Magick::sRGBColorspace);
        QImage rgba(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGBA8888);
        if (rgba.isNull()) return decodeFailure("out of memory");
        image.write(0, 0, static_cast<size_t>(w), static_cast<size_t>(h), "RGBA", Magick::CharPixel,
                    rgba.bits());
        return {flattenOnto(rgba, options.background), {}};
    }

    const char* name_;
    const char* coder_;
    Signature signature_;
    bool vector_;
    Signature linear_;
};

} // namespace

const ImageCodec& psdCodec() {
    static const MagickCodec codec("PSD", "PSD", &isPsd, false, &isPsd32);
    return codec;
}

const ImageCodec& pcdCodec() {
    static const MagickCodec codec("PCD", "PCD", &isPcd, false);
    return codec;
}

const ImageCodec& wmfCodec() {
    static const MagickCodec codec("WMF", "WMF", &isWmf, true);
    return codec;
}

} // namespace g3

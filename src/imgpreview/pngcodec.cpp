// PNG through libpng: every colour type and depth expanded to 8-bit RGB, interlaced files
// through the library's own pass handling, and transparency composed on the background.
// Samples are shown as stored (no gamma correction), like every other codec's.
#include "imgpreview/codecs.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace g3 {

namespace {

// libpng allocates a chunk's buffer from the length the chunk claims before it reads it, so
// a damaged length costs up to 2 GiB; here no chunk may claim more than the file holds.
bool chunksWithinFile(ByteView d) {
    for (std::size_t at = 8; at + 8 <= d.size();) {
        const std::size_t length = std::size_t{d[at]} << 24 | std::size_t{d[at + 1]} << 16 |
                                   std::size_t{d[at + 2]} << 8 | d[at + 3];
        if (length > d.size() - at - 8) return false;
        if (std::memcmp(d.data() + at + 4, "IEND", 4) == 0) return true;
        at += 12 + length;
    }
    return true; // a file cut at a chunk's edge: libpng reports what is missing
}

// One read: the library's structures and the input's cursor. libpng reports errors through
// onError, which must not return; it jumps back to the guard in run(), whose frame holds no
// object with a destructor.
class PngSession {
public:
    explicit PngSession(ByteView data) : data_(data) {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, &PngSession::onError,
                                      &PngSession::onWarning);
        if (png_) info_ = png_create_info_struct(png_);
    }
    ~PngSession() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;

    // Calls work(png, info) once the reader is set up; false with error() set when the
    // library reported an error.
    template <class Work> bool run(Work&& work) {
        if (!png_ || !info_) {
            std::snprintf(error_, sizeof error_, "out of memory");
            return false;
        }
        if (setjmp(png_jmpbuf(png_))) return false;
        png_set_read_fn(png_, this, &PngSession::read);
        png_set_user_limits(png_, kMaxPictureSide, kMaxPictureSide);
        work(png_, info_);
        return true;
    }

    const char* error() const { return error_; }

private:
    static PngSession& of(png_structp png) {
        return *static_cast<PngSession*>(png_get_error_ptr(png));
    }
    static void onError(png_structp png, png_const_charp message) {
        std::snprintf(of(png).error_, sizeof of(png).error_, "%s", message);
        png_longjmp(png, 1);
    }
    static void onWarning(png_structp, png_const_charp) {}

    static void read(png_structp png, png_bytep out, png_size_t n) {
        auto& s = *static_cast<PngSession*>(png_get_io_ptr(png));
        if (n > s.data_.size() - s.at_) png_error(png, "file ends early");
        std::memcpy(out, s.data_.data() + s.at_, n);
        s.at_ += n;
    }

    ByteView data_;
    std::size_t at_ = 0;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    char error_[200] = "";
};

// Asks libpng for 8-bit RGB or RGBA rows whatever the file holds; true when they have alpha.
bool requestRgb(png_structp png, png_infop info) {
    const int type = png_get_color_type(png, info);
    const bool alpha =
        (type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png); // palette, low gray depths and tRNS to full channels
    png_set_scale_16(png);
    if ((type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return alpha;
}

class PngCodec final : public ImageCodec {
public:
    const char* name() const override { return "PNG"; }

    bool recognises(ByteView data) const override {
        return data.size() >= 8 && png_sig_cmp(data.data(), 0, 8) == 0;
    }

    Decoded decode(ByteView data, const DecodeOptions& options) const override {
        if (!recognises(data)) return decodeFailure("no PNG signature");
        if (!chunksWithinFile(data))
            return decodeFailure("PNG chunk runs past the end of the file");
        PngSession session(data);
        QImage image;
        std::vector<png_bytep> rows;
        const bool ok = session.run([&](png_structp png, png_infop info) {
            png_read_info(png, info);
            const png_uint_32 w = png_get_image_width(png, info);
            const png_uint_32 h = png_get_image_height(png, info);
            if (!pictureSizeAllowed(w, h)) png_error(png, "PNG picture too large");
            const bool alpha = requestRgb(png, info);
            const std::size_t channels = png_get_channels(png, info);
            if (channels != (alpha ? 4u : 3u) || png_get_rowbytes(png, info) != w * channels)
                png_error(png, "unexpected PNG row layout");
            image = QImage(static_cast<int>(w), static_cast<int>(h),
                           alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
            if (image.isNull()) png_error(png, "out of memory");
            rows.resize(h);
            for (png_uint_32 y = 0; y < h; ++y)
                rows[y] = image.scanLine(static_cast<int>(y));
            png_read_image(png, rows.data());
        });
        if (!ok) return decodeFailure(session.error());
        return {flattenOnto(image, options.background), {}};
    }
};

} // namespace

const ImageCodec& pngCodec() {
    static const PngCodec codec;
    return codec;
}

} // namespace g3

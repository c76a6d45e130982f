// JPEG through libjpeg-turbo, decoding straight into the picture's rows, shrunk by the
// decoder's DCT scaling where asked. CMYK and 12-bit files are refused by the library's
// colour conversion and precision checks, which end in the error path below.
#include "imgpreview/codecs.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace g3 {

namespace {

// A progressive file may hold thousands of tiny scans, each costing a pass over the whole
// picture; real files have a dozen or so.
constexpr int kMaxScans = 500;

// One decompression: the library's state, its error manager and the place errors jump to.
// libjpeg reports an error by calling error_exit, which must not return; ours jumps back
// to the guard in run(), whose frame holds no object with a destructor.
class JpegSession {
public:
    explicit JpegSession(ByteView data) : data_(data) {
        cinfo_.err = jpeg_std_error(&err_.mgr);
        err_.mgr.error_exit = &JpegSession::onError;
        err_.mgr.output_message = &JpegSession::onMessage;
        progress_.progress_monitor = &JpegSession::onProgress;
        cinfo_.client_data = this;
    }
    ~JpegSession() {
        if (created_) jpeg_destroy_decompress(&cinfo_);
    }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;

    // Creates the decompressor, reads the header and then calls work(cinfo); false with
    // error() set when the library reported an error anywhere in between.
    template <class Work> bool run(Work&& work) {
        if (setjmp(err_.jump)) return false;
        jpeg_create_decompress(&cinfo_);
        created_ = true;
        cinfo_.mem->max_memory_to_use = kMaxPictureBytes;
        cinfo_.progress = &progress_;
        jpeg_mem_src(&cinfo_, data_.data(), static_cast<unsigned long>(data_.size()));
        jpeg_read_header(&cinfo_, TRUE);
        return work(cinfo_);
    }

    const char* error() const { return err_.message; }

    // Leaves the decode from inside a library call with `why` as the error.
    [[noreturn]] void fail(const char* why) {
        std::snprintf(err_.message, sizeof err_.message, "%s", why);
        std::longjmp(err_.jump, 1);
    }

private:
    struct ErrorManager {
        jpeg_error_mgr mgr;
        std::jmp_buf jump;
        char message[JMSG_LENGTH_MAX] = "";
    };

    static JpegSession& of(j_common_ptr c) { return *static_cast<JpegSession*>(c->client_data); }

    static void onError(j_common_ptr c) {
        JpegSession& s = of(c);
        c->err->format_message(c, s.err_.message);
        std::longjmp(s.err_.jump, 1);
    }
    // Warnings (corrupt data the library works around) are not printed.
    static void onMessage(j_common_ptr) {}

    static void onProgress(j_common_ptr c) {
        auto* d = reinterpret_cast<j_decompress_ptr>(c);
        if (d->progressive_mode && d->input_scan_number > kMaxScans)
            of(c).fail("too many progressive scans");
    }

    ByteView data_;
    jpeg_decompress_struct cinfo_{};
    ErrorManager err_{};
    jpeg_progress_mgr progress_{};
    bool created_ = false;
};

class JpegCodec final : public ImageCodec {
public:
    const char* name() const override { return "JPEG"; }

    bool recognises(ByteView data) const override {
        return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
    }

    Decoded decode(ByteView data, const DecodeOptions& options) const override {
        JpegSession session(data);
        QImage image;
        const bool ok = session.run([&](jpeg_decompress_struct& c) {
            if (!pictureSizeAllowed(c.image_width, c.image_height))
                session.fail("JPEG picture too large");
            c.out_color_space = JCS_EXT_RGB;
            c.scale_num = 1;
            c.scale_denom = static_cast<unsigned>(options.scaleDenom);
            if (options.performance == jpBestSpeed) {
                c.dct_method = JDCT_IFAST;
                c.do_fancy_upsampling = FALSE;
            } else {
                c.dct_method = JDCT_ISLOW;
            }
            jpeg_start_decompress(&c);
            image = QImage(static_cast<int>(c.output_width), static_cast<int>(c.output_height),
                           QImage::Format_RGB888);
            if (image.isNull()) session.fail("out of memory");
            while (c.output_scanline < c.output_height) {
                JSAMPROW row = image.scanLine(static_cast<int>(c.output_scanline));
                jpeg_read_scanlines(&c, &row, 1);
            }
            jpeg_finish_decompress(&c);
            return true;
        });
        if (!ok) return decodeFailure(session.error());
        return {std::move(image), {}};
    }
};

} // namespace

const ImageCodec& jpegCodec() {
    static const JpegCodec codec;
    return codec;
}

QSize jpegHeaderSize(ByteView data) {
    JpegSession session(data);
    QSize size;
    session.run([&](jpeg_decompress_struct& c) {
        size = QSize(static_cast<int>(c.image_width), static_cast<int>(c.image_height));
        return true;
    });
    return size;
}

} // namespace g3

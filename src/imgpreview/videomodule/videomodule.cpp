// The video frame module: the one place FFmpeg is linked. The program loads it on the first
// frame it is asked for (videoframe.cpp says why).
#include "imgpreview/videoframe.h"

#include "imgpreview/codec.h"
#include "platform/fileio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace g3 {

namespace {

// A damaged file must not keep the decoder busy without end: after a seek the wanted frame
// is at most one key-frame interval away, which in real files is a few hundred frames.
constexpr int kMaxPacketsAfterSeek = 5000;
constexpr int kIoBufferSize = 64 * 1024;

struct CloseInput {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct FreeCodec {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FreeFrame {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct FreePacket {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FreeScaler {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct FreeIo {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer); // the context may have replaced the buffer it was given
        avio_context_free(&io);
    }
};
using InputHandle = std::unique_ptr<AVFormatContext, CloseInput>;
using IoHandle = std::unique_ptr<AVIOContext, FreeIo>;
using CodecHandle = std::unique_ptr<AVCodecContext, FreeCodec>;
using FrameHandle = std::unique_ptr<AVFrame, FreeFrame>;
using PacketHandle = std::unique_ptr<AVPacket, FreePacket>;
using ScalerHandle = std::unique_ptr<SwsContext, FreeScaler>;

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> frameToDib(const AVFrame& f) {
    if (!pictureSizeAllowed(f.width, f.height)) return {};
    const int stride = (f.width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> dib(40 + static_cast<std::size_t>(stride) * f.height);
    std::uint8_t* h = dib.data();
    put32(h, 40);
    put32(h + 4, static_cast<std::uint32_t>(f.width));
    put32(h + 8, static_cast<std::uint32_t>(f.height));
    h[12] = 1;  // planes
    h[14] = 24; // bits per pixel
    put32(h + 20, static_cast<std::uint32_t>(stride * f.height));
    ScalerHandle scaler(sws_getContext(f.width, f.height, static_cast<AVPixelFormat>(f.format),
                                       f.width, f.height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr,
                                       nullptr, nullptr));
    if (!scaler) return {};
    // Bottom-up rows: the scaler writes the top row last in the block.
    uint8_t* rows[4] = {dib.data() + 40 + std::size_t(stride) * (f.height - 1), nullptr, nullptr,
                        nullptr};
    const int strides[4] = {-stride, 0, 0, 0};
    if (sws_scale(scaler.get(), f.data, f.linesize, 0, f.height, rows, strides) != f.height)
        return {};
    return dib;
}

} // namespace

class FfmpegVideo final : public VideoDecoder {
public:
    const TAviStreamInfo& info() const override { return info_; }
    std::vector<std::uint8_t> frameAsDib(std::uint32_t index) override;
    bool open(const std::string& path);

private:
    // The file is read through a descriptor of our own, opened only when it is a regular
    // file: FFmpeg's file protocol would open a FIFO and wait for a writer for ever. The
    // input goes before the I/O context it reads through (members go in reverse order).
    UniqueFd file;
    std::int64_t fileSize = 0;
    IoHandle io;
    InputHandle input;
    CodecHandle codec;
    int stream = -1;
    AVRational frameTime{1, 1}; // dwScale / dwRate
    TAviStreamInfo info_;

    static int readFile(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t seekFile(void* opaque, std::int64_t offset, int whence);
    void describe(const AVStream& s);
    FrameHandle decodeAt(std::int64_t target);
};

bool FfmpegVideo::open(const std::string& path) {
    const AVInputFormat* avi = av_find_input_format("avi");
    struct stat st {};
    file = openRegularFile(path, st);
    if (!avi || !file) return false;
    fileSize = st.st_size;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer) return false;
    io.reset(avio_alloc_context(buffer, kIoBufferSize, 0, this, &FfmpegVideo::readFile, nullptr,
                                &FfmpegVideo::seekFile));
    if (!io) {
        av_free(buffer);
        return false;
    }
    AVFormatContext* ctx = avformat_alloc_context();
    if (!ctx) return false;
    ctx->pb = io.get();
    // On failure the context is freed and ctx set to null.
    if (avformat_open_input(&ctx, nullptr, avi, nullptr) < 0) return false;
    input.reset(ctx);
    if (avformat_find_stream_info(ctx, nullptr) < 0) return false;
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVStream* s = ctx->streams[i];
        if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(s->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            stream = static_cast<int>(i);
            break;
        }
    }
    if (stream < 0) return false;
    const AVStream& s = *ctx->streams[stream];
    const AVCodec* decoder = avcodec_find_decoder(s.codecpar->codec_id);
    if (!decoder) return false;
    codec.reset(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), s.codecpar) < 0) return false;
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) return false;
    describe(s);
    return true;
}

int FfmpegVideo::readFile(void* opaque, std::uint8_t* buffer, int size) {
    const int fd = static_cast<FfmpegVideo*>(opaque)->file.get();
    for (;;) {
        const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return AVERROR(errno);
        return n == 0 ? AVERROR_EOF : static_cast<int>(n);
    }
}

std::int64_t FfmpegVideo::seekFile(void* opaque, std::int64_t offset, int whence) {
    FfmpegVideo& d = *static_cast<FfmpegVideo*>(opaque);
    if (whence & AVSEEK_SIZE) return d.fileSize;
    const off_t at = ::lseek(d.file.get(), offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

void FfmpegVideo::describe(const AVStream& s) {
    // The AVI reader keeps the stream header's scale and rate as the time base.
    frameTime = s.time_base;
    if (frameTime.num <= 0 || frameTime.den <= 0) frameTime = av_inv_q(s.avg_frame_rate);
    if (frameTime.num <= 0 || frameTime.den <= 0) frameTime = {1, 25};
    std::int64_t frames = s.nb_frames;
    if (frames <= 0 && s.duration > 0) frames = av_rescale_q(s.duration, s.time_base, frameTime);
    info_.fccType = MKTAG('v', 'i', 'd', 's');
    info_.fccHandler = s.codecpar->codec_tag;
    info_.dwScale = static_cast<std::uint32_t>(frameTime.num);
    info_.dwRate = static_cast<std::uint32_t>(frameTime.den);
    info_.dwLength = static_cast<std::uint32_t>(std::clamp<std::int64_t>(frames, 0, 0xFFFFFFFF));
    info_.dwQuality = 0xFFFFFFFF;
    info_.rcFrame[2] = s.codecpar->width;
    info_.rcFrame[3] = s.codecpar->height;
    if (const AVDictionaryEntry* title = av_dict_get(s.metadata, "title", nullptr, 0))
        std::strncpy(info_.szName, title->value, sizeof info_.szName - 1);
}

// The first frame at or after `target` (in the stream's time base), or the last one the
// stream has when it ends before; null when nothing decodes.
FrameHandle FfmpegVideo::decodeAt(std::int64_t target) {
    AVFormatContext* ctx = input.get();
    if (av_seek_frame(ctx, stream, target, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(ctx, stream, 0, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(codec.get());
    PacketHandle packet(av_packet_alloc());
    FrameHandle frame(av_frame_alloc()), last;
    if (!packet || !frame) return nullptr;
    bool ended = false;
    for (int packets = 0; packets < kMaxPacketsAfterSeek;) {
        const int got = avcodec_receive_frame(codec.get(), frame.get());
        if (got == 0) {
            const std::int64_t ts = frame->best_effort_timestamp;
            // A frame without a time stamp is taken where it comes.
            if (ts == AV_NOPTS_VALUE || ts >= target) return frame;
            last = FrameHandle(av_frame_clone(frame.get()));
            av_frame_unref(frame.get());
            continue;
        }
        if (got != AVERROR(EAGAIN) || ended) break;
        if (av_read_frame(ctx, packet.get()) < 0) {
            ended = true;
            avcodec_send_packet(codec.get(), nullptr); // drain what the decoder holds
            continue;
        }
        if (packet->stream_index == stream) {
            ++packets;
            avcodec_send_packet(codec.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
    return last;
}

std::vector<std::uint8_t> FfmpegVideo::frameAsDib(std::uint32_t index) {
    if (index >= info_.dwLength) return {};
    const AVStream& s = *input->streams[stream];
    std::int64_t target = av_rescale_q(index, frameTime, s.time_base);
    if (s.start_time != AV_NOPTS_VALUE) target += s.start_time;
    FrameHandle frame = decodeAt(target);
    return frame ? frameToDib(*frame) : std::vector<std::uint8_t>();
}

} // namespace g3

extern "C" __attribute__((visibility("default"))) g3::VideoDecoder* g3_open_video(const char* path) {
    auto video = std::make_unique<g3::FfmpegVideo>();
    return path && video->open(path) ? video.release() : nullptr;
}

// One frame of a video file's first video stream, through FFmpeg, handed over as a packed
// DIB the way the system's video library hands frames over.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace g3 {

// The stream information record of a video stream (the system's AVISTREAMINFO, 8-bit
// form, 140 bytes). Filled from what the container declares.
struct TAviStreamInfo {
    std::uint32_t fccType = 0;    // "vids"
    std::uint32_t fccHandler = 0; // the codec's four-character code
    std::uint32_t dwFlags = 0;
    std::uint32_t dwCaps = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwScale = 0; // dwRate / dwScale frames per second
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0; // frames
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwQuality = 0;
    std::uint32_t dwSampleSize = 0;
    std::int32_t rcFrame[4] = {0, 0, 0, 0}; // left, top, right, bottom
    std::uint32_t dwEditCount = 0;
    std::uint32_t dwFormatChangeCount = 0;
    char szName[64] = {};
};
static_assert(sizeof(TAviStreamInfo) == 140);

// What the video frame module opens a stream as.
class VideoDecoder {
public:
    virtual ~VideoDecoder() = default;
    virtual const TAviStreamInfo& info() const = 0;
    virtual std::vector<std::uint8_t> frameAsDib(std::uint32_t index) = 0;
};

// The first video stream of an AVI file, open for reading frames. Only a regular file is
// opened (never a FIFO or device), and only through FFmpeg's AVI reader, which reads no
// other file or address: a file of another format does not open. Any one thread at a time.
// Nothing opens when the video frame module (codecs/videoframe.so beside the executable)
// cannot be loaded.
class VideoStream {
public:
    explicit VideoStream(const std::string& path);
    ~VideoStream();
    VideoStream(const VideoStream&) = delete;
    VideoStream& operator=(const VideoStream&) = delete;

    bool isOpen() const;
    // Valid while isOpen().
    const TAviStreamInfo& info() const;
    // Frame number `index` (0 is the first) as a packed DIB: a 40-byte BITMAPINFOHEADER of
    // a 24-bit bottom-up picture, no colour table, rows of blue, green, red padded to whole
    // 32-bit words. Empty when the stream has no such frame or it does not decode.
    std::vector<std::uint8_t> frameAsDib(std::uint32_t index);

private:
    std::unique_ptr<VideoDecoder> d_;
};

} // namespace g3

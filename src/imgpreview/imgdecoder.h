// TImgDecoder: decodes pictures for an image box on a thread of its own, with a loader of
// its own, so a large picture never holds up the user-interface thread. One request waits
// at a time: a newer one replaces it, and the result of one that was overtaken while it was
// decoded is dropped before it is delivered. What the box shows is placed here too, so the
// user-interface thread has only a copy left to do.
#pragma once

#include "imgpreview/ImgUtils.h"
#include "imgpreview/imgboxview.h"

#include <QImage>
#include <QSize>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace g3 {

// The loader settings a request is decoded with (the box's own loader's).
struct DecodeSettings {
    TGetType getType = igtNormal;
    TJPEGPerformance performance = jpBestSpeed;
    TFont font;
    TColor bkColor = 0xFFFFFF;
    std::string textExt;
    int aviFramePos = 20;
    TImgCustom* customImage = nullptr; // must stay valid until the decoder is stopped
};

struct DecodeRequest {
    std::uint64_t ticket = 0;
    std::string fileName;
    QSize box;    // the target box handed to GetImage
    QSize client; // the area the picture is placed in
    TSizeType sizeType = ispStretch;
    DecodeSettings settings;
};

struct DecodeResult {
    std::uint64_t ticket = 0;
    std::string fileName;
    int result = 1; // GetImage's
    // The picture. With ispStretch it is already the size stretchRect gives for the
    // request's client area; a JPEG is decoded no larger than needed for that.
    QImage bitmap;
    QSize pictureSize;        // the picture's own size, which the placement is worked out from
    bool resampled = false;   // bitmap is not the picture at pictureSize
    bool iconDeferred = false; // the picture is the file's icon: draw it on the UI thread
};

class TImgDecoder {
public:
    // deliver runs on the decoder's thread, once for each result that was not overtaken.
    explicit TImgDecoder(std::function<void(DecodeResult)> deliver);
    // Stops the thread after the decode under way, if any; nothing is delivered after.
    ~TImgDecoder();
    TImgDecoder(const TImgDecoder&) = delete;
    TImgDecoder& operator=(const TImgDecoder&) = delete;

    // Any thread. Replaces the request still waiting, if any.
    void request(DecodeRequest r);
    // Any thread. Drops the waiting request and the result of the one under way.
    void cancel();

    // Decodes one request on the calling thread with `loader` (made with DeferIcons).
    static DecodeResult decode(TImgUtil& loader, const DecodeRequest& r);

private:
    void run();

    std::function<void(DecodeResult)> deliver_;
    std::unique_ptr<TImgUtil> loader_; // made on the constructing thread (fonts), used on ours
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<DecodeRequest> waiting_;
    std::uint64_t generation_ = 0; // counts requests and cancels; a result of an older one is dropped
    bool stop_ = false;
    std::thread thread_; // started by the first request
};

} // namespace g3

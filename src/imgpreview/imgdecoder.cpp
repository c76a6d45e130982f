#include "imgpreview/imgdecoder.h"

#include "imgpreview/resample.h"

#include <exception>

namespace g3 {

TImgDecoder::TImgDecoder(std::function<void(DecodeResult)> deliver)
    : deliver_(std::move(deliver)), loader_(std::make_unique<TImgUtil>()) {
    loader_->DeferIcons = true;
}

TImgDecoder::~TImgDecoder() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        waiting_.reset();
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void TImgDecoder::request(DecodeRequest r) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(r);
        ++generation_;
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void TImgDecoder::cancel() {
    const std::lock_guard lock(mutex_);
    waiting_.reset();
    ++generation_;
}

void TImgDecoder::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || waiting_; });
        if (stop_) return;
        const DecodeRequest r = std::move(*waiting_);
        waiting_.reset();
        const std::uint64_t generation = generation_;
        lock.unlock();
        DecodeResult result = decode(*loader_, r);
        lock.lock();
        if (stop_) return;
        if (generation != generation_) continue; // overtaken: a newer request waits
        lock.unlock();
        deliver_(std::move(result));
        lock.lock();
    }
}

DecodeResult TImgDecoder::decode(TImgUtil& loader, const DecodeRequest& r) {
    const DecodeSettings& s = r.settings;
    loader.setGetType(s.getType);
    loader.setPerformance(s.performance);
    loader.setFont(s.font);
    loader.setBKColor(s.bkColor);
    loader.setTextExt(s.textExt);
    loader.setAviFramePos(s.aviFramePos);
    loader.CustomImage = s.customImage;
    // A stretched view never needs more of a JPEG than the decoder's reduction that still
    // covers the box; the natural-size view needs all of it.
    loader.ReduceJpeg = r.sizeType == ispStretch;

    DecodeResult out;
    out.ticket = r.ticket;
    out.fileName = r.fileName;
    try {
        out.result = loader.GetImage(r.fileName, r.box.width(), r.box.height(), 0);
        out.iconDeferred = loader.IconDeferred;
        if (out.result != 0 || out.iconDeferred) return out;
        out.bitmap = std::move(loader.Bitmap);
        loader.Bitmap = QImage();
        out.pictureSize = loader.ImageType == iitJpeg ? QSize(loader.OrgWidth, loader.OrgHeight)
                                                      : out.bitmap.size();
        if (r.sizeType == ispStretch) {
            const QRect at = stretchRect(r.client, out.pictureSize);
            if (!at.isEmpty() && out.bitmap.size() != at.size())
                ResizeBitmap(out.bitmap, at.width(), at.height());
        }
        out.resampled = out.bitmap.size() != out.pictureSize;
    } catch (const std::exception&) {
        // What the box would have thrown on its own thread: nothing to show.
        out.result = -1;
        out.bitmap = QImage();
    }
    return out;
}

} // namespace g3

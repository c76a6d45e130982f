// GIF through giflib: the first frame drawn on the logical screen, its transparent colour
// and the screen outside the frame showing the background.
#include "imgpreview/codecs.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace g3 {

namespace {

struct CloseGif {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, CloseGif>;

struct Input {
    ByteView data;
    std::size_t at = 0;
};

int readInput(GifFileType* gif, GifByteType* out, int n) {
    auto& in = *static_cast<Input*>(gif->UserData);
    const std::size_t take =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(n, 0)), in.data.size() - in.at);
    std::memcpy(out, in.data.data() + in.at, take);
    in.at += take;
    return static_cast<int>(take);
}

// Reads the extension blocks before the first frame, keeping the transparent colour a
// graphics control block names (-1 for none).
bool readExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    while (block) {
        if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4) {
            GraphicsControlBlock gcb{};
            if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
                transparent = gcb.TransparentColor;
        }
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    }
    return true;
}

// The rows of an interlaced frame come in four passes.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    static constexpr int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            order.push_back(y);
    return order;
}

// Draws the frame gif->Image describes onto the canvas.
bool drawFrame(GifFileType* gif, int transparent, QImage& canvas) {
    const GifImageDesc& d = gif->Image;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || !map->Colors) return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(d.Width));
    for (int y : rowOrder(d.Height, d.Interlace)) {
        if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) return false;
        uchar* out = canvas.scanLine(d.Top + y) + 3 * d.Left;
        for (int x = 0; x < d.Width; ++x, out += 3) {
            const int index = line[static_cast<std::size_t>(x)];
            if (index == transparent || index >= map->ColorCount) continue;
            const GifColorType& c = map->Colors[index];
            out[0] = c.Red;
            out[1] = c.Green;
            out[2] = c.Blue;
        }
    }
    return true;
}

class GifCodec final : public ImageCodec {
public:
    const char* name() const override { return "GIF"; }

    bool recognises(ByteView data) const override {
        return data.size() >= 6 && (std::memcmp(data.data(), "GIF87a", 6) == 0 ||
                                    std::memcmp(data.data(), "GIF89a", 6) == 0);
    }

    Decoded decode(ByteView data, const DecodeOptions& options) const override {
        Input input{data};
        int error = 0;
        GifHandle gif(DGifOpen(&input, &readInput, &error));
        if (!gif) return decodeFailure(GifErrorString(error) ? GifErrorString(error) : "bad GIF");
        int transparent = -1;
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) break;
            if (type == EXTENSION_RECORD_TYPE) {
                if (!readExtension(gif.get(), transparent)) break;
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE) break;
            if (DGifGetImageDesc(gif.get()) == GIF_ERROR) break;
            return firstFrame(gif.get(), transparent, options);
        }
        return decodeFailure("no frame in the GIF");
    }

private:
    static Decoded firstFrame(GifFileType* gif, int transparent, const DecodeOptions& options) {
        const GifImageDesc& d = gif->Image;
        if (d.Left < 0 || d.Top < 0 || d.Width <= 0 || d.Height <= 0)
            return decodeFailure("bad GIF frame");
        // A frame reaching past the logical screen widens the canvas, as viewers do.
        const std::int64_t w = std::max<std::int64_t>(gif->SWidth, std::int64_t{d.Left} + d.Width);
        const std::int64_t h = std::max<std::int64_t>(gif->SHeight, std::int64_t{d.Top} + d.Height);
        if (!pictureSizeAllowed(w, h)) return decodeFailure("GIF picture too large");
        QImage canvas(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB888);
        if (canvas.isNull()) return decodeFailure("out of memory");
        canvas.fill(options.background);
        if (!drawFrame(gif, transparent, canvas)) return decodeFailure("damaged GIF frame");
        return {std::move(canvas), {}};
    }
};

} // namespace

const ImageCodec& gifCodec() {
    static const GifCodec codec;
    return codec;
}

} // namespace g3

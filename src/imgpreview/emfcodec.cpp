// Enhanced metafiles (EMF, EMF+): libemf2svg turns the records into SVG, which Qt's SVG
// renderer draws into a bitmap of the metafile's size on the background.
#include "imgpreview/codecs.h"

#include "platform/handles.h"

#include <emf2svg.h>

#include <dlfcn.h>

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace g3 {

namespace {

constexpr std::uint32_t kRecordHeader = 1;
constexpr std::uint32_t kRecordEof = 14;
constexpr std::size_t kHeaderSize = 88;
constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
constexpr double kHundredthMmPerInch = 2540;
constexpr double kScreenDpi = 96;

std::int32_t s32(ByteView d, std::size_t at) {
    return static_cast<std::int32_t>(le32(d, at));
}

// The metafile's size in screen pixels from its frame (hundredths of a millimetre), rounded
// as the system's MulDiv rounds; empty when the header is not one.
QSize headerSize(ByteView d) {
    if (d.size() < kHeaderSize || le32(d, 0) != kRecordHeader || le32(d, 40) != kSignature)
        return {};
    // rclFrame: left, top, right, bottom after the record header and rclBounds
    const double w = double(s32(d, 32)) - s32(d, 24);
    const double h = double(s32(d, 36)) - s32(d, 28);
    const double px = kScreenDpi / kHundredthMmPerInch;
    return {static_cast<int>(std::min(std::round(w * px), 1e9)),
            static_cast<int>(std::min(std::round(h * px), 1e9))};
}

// Every record lies inside the file, is at least a record header long and a whole number of
// words, and an end record closes the list. The converter trusts the record sizes it scans,
// so nothing else reaches it.
bool recordsWellFormed(ByteView d) {
    std::size_t at = 0;
    while (at + 8 <= d.size()) {
        const std::uint32_t type = le32(d, at), size = le32(d, at + 4);
        if (size < 8 || size % 4 != 0 || size > d.size() - at) return false;
        if ((type == kRecordHeader) != (at == 0)) return false;
        if (type == kRecordEof) return true;
        at += size;
    }
    return false;
}

// The SVG may refer to pictures only inside itself (data: URLs, "#" fragments); Qt's
// renderer would otherwise read any file an href names.
bool onlyInlineReferences(const QByteArray& svg) {
    for (qsizetype at = svg.indexOf("href="); at >= 0; at = svg.indexOf("href=", at + 5)) {
        const QByteArray value = svg.mid(at + 6, 5);
        if (at + 5 >= svg.size() || (svg[at + 5] != '"' && svg[at + 5] != '\'')) return false;
        if (!value.startsWith("data:") && !value.startsWith('#')) return false;
    }
    return true;
}

using Emf2Svg = int (*)(char*, std::size_t, char**, std::size_t*, generatorOptions*);

// The converter is loaded on first use into a scope of its own (RTLD_LOCAL), not linked:
// the libUEMF it brings exports a wmf_free that would take the place of libwmf's in the
// whole process, and ImageMagick's WMF reader (libwmf) crashes in it.
Emf2Svg converter() {
    static const LibraryHandle library(dlopen("libemf2svg.so.1", RTLD_NOW | RTLD_LOCAL));
    static const auto convert =
        library ? reinterpret_cast<Emf2Svg>(dlsym(library.get(), "emf2svg")) : nullptr;
    return convert;
}

struct FreeC {
    void operator()(char* p) const { std::free(p); }
};

class EmfCodec final : public ImageCodec {
public:
    const char* name() const override { return "EMF"; }

    bool recognises(ByteView data) const override { return !headerSize(data).isEmpty(); }

    Decoded decode(ByteView data, const DecodeOptions& options) const override {
        const QSize size = headerSize(data);
        if (size.isEmpty()) return decodeFailure("no EMF header");
        if (!pictureSizeAllowed(size.width(), size.height()))
            return decodeFailure("EMF picture too large");
        if (!recordsWellFormed(data)) return decodeFailure("damaged EMF records");
        const Emf2Svg convert = converter();
        if (!convert) return decodeFailure("libemf2svg.so.1 cannot be loaded");
        QByteArray svg = toSvg(convert, data);
        if (svg.isEmpty()) return decodeFailure("EMF not converted");
        if (!onlyInlineReferences(svg)) return decodeFailure("EMF refers to outside pictures");
        QSvgRenderer renderer(svg);
        if (!renderer.isValid()) return decodeFailure("EMF gave no drawable SVG");
        QImage image(size, QImage::Format_RGB888);
        if (image.isNull()) return decodeFailure("out of memory");
        image.fill(options.background);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        return {std::move(image), {}};
    }

private:
    static QByteArray toSvg(Emf2Svg convert, ByteView data) {
        // The converter reads a record's header before it checks the record against the end,
        // so the copy it works on has a zeroed tail.
        std::vector<char> copy(data.size() + 16, '\0');
        std::memcpy(copy.data(), data.data(), data.size());
        generatorOptions options{};
        options.nameSpace = const_cast<char*>("");
        options.emfplus = true;
        options.svgDelimiter = true;
        char* out = nullptr;
        std::size_t outLength = 0;
        const int ok = convert(copy.data(), data.size(), &out, &outLength, &options);
        std::unique_ptr<char, FreeC> owned(out);
        if (!ok || !out) return {};
        return QByteArray(out, static_cast<qsizetype>(outLength));
    }
};

} // namespace

const ImageCodec& emfCodec() {
    static const EmfCodec codec;
    return codec;
}

} // namespace g3
